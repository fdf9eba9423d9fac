#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "win32_common/dialog_answerer.h"
#include "win32_common/dialogs.h"
#include "win32_common/text.h"

namespace win32ui {
namespace {

TEST(Win32Text, FileFilterBecomesNulSeparatedPairs) {
  using namespace std::string_literals;
  EXPECT_EQ(FileDialogFilter("Text (*.txt)|*.txt|All Files (*.*)|*.*||"),
            L"Text (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0"s);
  // A label without patterns is left out; no pair at all gives no filter.
  EXPECT_EQ(FileDialogFilter("Text|*.txt|Lonely"), L"Text\0*.txt\0\0"s);
  EXPECT_EQ(FileDialogFilter(""), L"");
}

TEST(Win32Text, WindowTextKeepsLatin1Bytes) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE, 0, 0, 100, 40, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(SetWindowTextLatin1(edit, "Fran\xE7" "ais\r\n\xB5"));
  bool lossless = false;
  EXPECT_EQ(GetWindowTextLatin1(edit, &lossless), "Fran\xE7" "ais\r\n\xB5");
  EXPECT_TRUE(lossless);
  SetWindowTextW(edit, L"x\u0416");
  EXPECT_EQ(GetWindowTextLatin1(edit, &lossless), "x?");
  EXPECT_FALSE(lossless);
  DestroyWindow(edit);
}

TEST(DialogAnswerer, AnswersMessageBoxesInOrderAndRecordsThem) {
  testing::DialogAnswerer answerer;
  answerer.Press(IDNO);
  EXPECT_EQ(ShowMessageBox(nullptr, "Write \xE9?", "Warning", MB_YESNO), IDNO);
  // Nothing queued: the box is cancelled, or closed with OK when that is
  // its only button, and marked unexpected.
  EXPECT_EQ(ShowMessageBox(nullptr, "Surprise", "Other", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(ShowMessageBox(nullptr, "Surprise", "Other", MB_OK), IDOK);
  ASSERT_EQ(answerer.Seen().size(), 3u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Warning");
  EXPECT_NE(answerer.Seen()[0].text.find("Write \xE9?"), std::string::npos);
  EXPECT_TRUE(answerer.Seen()[0].expected);
  EXPECT_FALSE(answerer.Seen()[1].expected);
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = Latin1FromWide(folder) + "win32_common_test.txt";
    std::ofstream(path_) << "x";
  }
  void TearDown() override { std::remove(path_.c_str()); }
  std::string path_;
};

TEST_F(FileDialogTest, OpenAndSaveGiveTheChosenPath) {
  testing::DialogAnswerer answerer;
  answerer.ChooseFile(path_);
  EXPECT_EQ(AskFileName(nullptr, false, "Text|*.txt||", "txt"), path_);
  // The default extension is added to a name typed without one.
  const std::string stem = path_.substr(0, path_.size() - 4);
  answerer.ChooseFile(stem);
  EXPECT_EQ(AskFileName(nullptr, true, "Text|*.txt||", "txt"), path_);
  answerer.Press(IDCANCEL);
  EXPECT_EQ(AskFileName(nullptr, false, "Text|*.txt||", "txt"), std::nullopt);
  EXPECT_EQ(answerer.Pending(), 0u);
}

}  // namespace
}  // namespace win32ui
