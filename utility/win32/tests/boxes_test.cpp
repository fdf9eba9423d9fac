// The modal boxes of the main dialog: About, Warning, SETTING, the file
// dialogs, the script run's message boxes, and the ticks that go on under
// them.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "utility/dialog_template.h"
#include "win32_common/text.h"
#include "win32_fixture.h"

namespace utility::testing {
namespace {

std::string TempPath(const char* name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return win32ui::Latin1FromWide(folder) + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST_F(Win32DialogTest, AboutShowsTheVersionText) {
  StartWithReader();
  answerer->Press(IDOK);
  Menu(menu::About);
  ASSERT_EQ(answerer->Seen().size(), 1u);
  EXPECT_EQ(answerer->Seen()[0].caption, kAboutCaption);
  EXPECT_EQ(answerer->Seen()[0].text, kAboutText);
}

TEST_F(Win32DialogTest, WarningCancelledSendsNothing) {
  StartWithReader();
  answerer->Press(IDCANCEL);
  Menu(menu::FirstLanguage);
  ASSERT_EQ(answerer->Seen().size(), 1u);
  EXPECT_EQ(answerer->Seen()[0].caption, "Warning");
  EXPECT_EQ(answerer->Seen()[0].text,
            "Maximum setting limit is 254 times only!\nPlease avoid any unnecessary setting!");
  EXPECT_TRUE(FeatureWrites().empty());
  EXPECT_EQ(Text(ControlId::HistoryBox), "");
}

TEST_F(Win32DialogTest, SettingRefusesAValueOutOfRangeAndSendsTheNextOne) {
  StartWithReader();
  std::string label;
  auto enter = [&](const char* value) {
    return [&, value](HWND box) {
      label = win32ui::GetWindowTextLatin1(GetDlgItem(box, 1070));
      win32ui::SetWindowTextLatin1(GetDlgItem(box, 1069), value);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
  };
  answerer->Press(IDOK);          // Warning: Continue
  answerer->Answer(enter("300"));  // SETTING
  answerer->Press(IDOK);          // the validation message
  answerer->Answer(enter("5"));   // SETTING again
  Menu(menu::SetPollingInterval);
  ASSERT_EQ(answerer->Seen().size(), 4u);
  EXPECT_EQ(answerer->Seen()[1].caption, "SETTING");
  EXPECT_EQ(answerer->Seen()[2].caption, "Error");
  EXPECT_EQ(label, "Polling Interval (range from 1 to 255):");
  EXPECT_EQ(Text(ControlId::HistoryBox).rfind("Command:  02 53 14 01 05 03 ", 0), 0u)
      << Text(ControlId::HistoryBox);
}

TEST_F(Win32DialogTest, SaveHistoryWritesTheHistoryBoxThroughTheSaveDialog) {
  StartWithReader();
  SetText(ControlId::CommandBox, "ab");
  Click(ControlId::SendCommand);
  SetText(ControlId::CommandBox, "c\xE9");
  Click(ControlId::SendCommand);
  const std::string path = TempPath("pelorin_history.txt");
  std::ofstream(path) << "older content, longer than the history";
  answerer->ChooseFile(path);
  Menu(menu::SaveHistory);
  EXPECT_EQ(ReadFile(path), "c\xE9\r\nab\r\n");
  // Cancelled: the message, nothing written.
  answerer->Press(IDCANCEL);
  answerer->Press(IDOK);
  Menu(menu::SaveHistory);
  ASSERT_EQ(answerer->Seen().size(), 3u);
  EXPECT_EQ(answerer->Seen()[2].text, "Error: Fail to open the file");
  std::remove(path.c_str());
}

TEST_F(Win32DialogTest, SendFileRunsTheScriptOnTheTicksToSendComplete) {
  StartWithReader();
  const std::string path = TempPath("pelorin_script.txt");
  std::ofstream(path, std::ios::binary) << "K0\r\nEND\r\n";
  answerer->ChooseFile(path);
  Click(ControlId::SendFile);
  EXPECT_EQ(Text(ControlId::CommandBox), "K0\r\nEND\r\n");
  EXPECT_EQ(Text(ControlId::RunScript), "Stop");
  Tick();
  EXPECT_EQ(Text(ControlId::CommandBox), "Current command: K0\r\n\r\nEND\r\n");
  EXPECT_EQ(session.HistoryText, "K0\r\n");
  answerer->Press(IDOK);
  Tick();
  ASSERT_EQ(answerer->Seen().size(), 2u);
  EXPECT_EQ(answerer->Seen()[1].text, "Send Complete!");
  EXPECT_EQ(answerer->Seen()[1].caption, kApplicationName);
  EXPECT_EQ(Text(ControlId::RunScript), "Run Script");
  EXPECT_EQ(GetFocus(), Control(ControlId::ResponseBox));
  std::remove(path.c_str());
}

TEST_F(Win32DialogTest, TicksGoOnUnderAMessageBox) {
  MakeHost("reader");
  host->SetUnplugged(true);
  MakeProgram();
  Tick();
  ASSERT_FALSE(Shown(ControlId::CommandBox));
  answerer->Answer([&](HWND box) {
    // The reader arrives while the box is open; the box's own message loop
    // hands the tick to the main dialog before it takes the answer.
    host->SetUnplugged(false);
    PostMessageW(Window(), WM_TIMER, kTimerId, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  program->prompter().ShowMessage("Please Input the Command String!", "Error");
  EXPECT_TRUE(Shown(ControlId::CommandBox));
}

}  // namespace
}  // namespace utility::testing
