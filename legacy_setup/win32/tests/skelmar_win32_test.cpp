// The setup dialog of template 200 driven through window messages: one test
// per screen state and per modal dialog. The controller's rules are tested
// with the Qt dialog already; these check the native edge.
#include <windows.h>

#include <memory>

#include "setup_window.h"
#include "sim_reader.h"
#include "startup.h"
#include "temp_files.h"
#include "win32_common/dialog_answerer.h"
#include "win32_common/text.h"
#include "win32_prompts.h"
#include "skelmar/dialog_template.h"
#include "skelmar/win_exception.h"

namespace skelmar_test {
namespace {

using skelmar::Control;
using skelmar::ControlKind;
using skelmar::Win32SetupWindow;

constexpr int Id(Control id) { return static_cast<int>(id); }

class Win32DialogTest : public SimReaderTest {
 protected:
  void SetUp() override { InstallPreset("legacy-reader"); }

  void TearDown() override {
    window_.reset();
    skelmar::ProcessPendingMessages(nullptr);
    // The closed dialog's quit message would end the next test's modal loops.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    for (const auto& seen : answerer_.Seen())
      EXPECT_TRUE(seen.expected) << "unexpected dialog: " << seen.caption << ": " << seen.text;
    SimReaderTest::TearDown();
  }

  void Open() {
    Win32SetupWindow::Options options;
    options.timerMode = Win32SetupWindow::TimerMode::Manual;
    window_ = std::make_unique<Win32SetupWindow>(GetModuleHandleW(nullptr), prompts_, options);
    ASSERT_NE(window_->Create(), nullptr) << GetLastError();
    ASSERT_NE(window_->Controller(), nullptr);
    answerer_.Ignore(Dialog());
    Pump();
  }

  HWND Dialog() const { return window_->Handle(); }
  HWND Item(Control id) const { return window_->Item(id); }
  std::string Text(Control id) const { return win32ui::GetWindowTextLatin1(Item(id)); }
  bool Enabled(Control id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  void Pump() { skelmar::ProcessPendingMessages(Dialog()); }

  void Click(Control id) {
    SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(Id(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
    Pump();
  }
  // Sets the input box's text as typing would, with its change notification.
  void Type(const std::string& text) {
    win32ui::SetWindowTextLatin1(Item(Control::Input), text);
    Pump();
  }
  // The Enter key, pressed on the focused control through the message loop.
  void PressEnter() {
    HWND target = GetFocus() ? GetFocus() : Dialog();
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(target, WM_KEYUP, VK_RETURN, 1 | (LPARAM{3} << 30));
    Pump();
  }
  // One tick of the sending timer in virtual time: what it wrote.
  std::string Tick() {
    clock_->AdvanceMs(window_->SendTimerPeriod());
    SendMessageW(Dialog(), WM_TIMER, skelmar::kSendTimerId, 0);
    Pump();
    return TakeWrittenText();
  }
  std::string RunTimer() {
    std::string written;
    for (int ticks = 0; window_->SendTimerRunning() && ticks < 10000; ++ticks) written += Tick();
    return written;
  }
  // How many of the input box, Clear input, Send and Send File are enabled.
  int SendingControlsEnabled() const {
    int enabled = 0;
    for (Control id : {Control::Input, Control::ClearInput, Control::Send, Control::SendFile})
      enabled += Enabled(id) ? 1 : 0;
    return enabled;
  }

  win32ui::testing::DialogAnswerer answerer_;
  skelmar::Win32Prompts prompts_{skelmar::kBatchFileFilter};
  std::unique_ptr<Win32SetupWindow> window_;
};

TEST_F(Win32DialogTest, StartsIdleLaidOutAsTheTemplateSays) {
  Open();
  EXPECT_EQ(win32ui::GetWindowTextLatin1(Dialog()), skelmar::kSetupCaption);
  EXPECT_TRUE(IsWindowVisible(Dialog()));
  EXPECT_NE(SendMessageW(Dialog(), WM_GETICON, ICON_BIG, 0), 0);
  RECT client;
  GetClientRect(Dialog(), &client);
  RECT size{0, 0, skelmar::kSetupWidthDu, skelmar::kSetupHeightDu};
  MapDialogRect(Dialog(), &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  for (const skelmar::ControlTemplate& t : skelmar::SetupDialogControls()) {
    SCOPED_TRACE(Id(t.id));
    HWND item = Item(t.id);
    ASSERT_NE(item, nullptr);
    const bool edit = t.kind == ControlKind::LineEdit || t.kind == ControlKind::TextBox;
    wchar_t windowClass[16] = {};
    GetClassNameW(item, windowClass, 16);
    EXPECT_EQ(_wcsicmp(windowClass, edit ? L"Edit" : L"Button"), 0);
    // The controller's start: the status says Ready, and nothing is typed
    // that Send or Clear input could act on.
    EXPECT_EQ(Text(t.id), t.id == Control::Status ? "Ready" : t.text);
    EXPECT_EQ(Enabled(t.id), t.id != Control::Send && t.id != Control::ClearInput);
    RECT expected{t.x, t.y, t.width, t.height};  // each converted alone
    MapDialogRect(Dialog(), &expected);
    RECT actual;
    GetWindowRect(item, &actual);
    MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right - actual.left, expected.right);
    EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    const LONG style = GetWindowLongW(item, GWL_STYLE);
    if (edit) {
      EXPECT_EQ((style & ES_READONLY) != 0, (t.styles & skelmar::kReadOnly) != 0);
      EXPECT_EQ((style & ES_WANTRETURN) != 0, (t.styles & skelmar::kWantReturn) != 0);
    }
    if (t.kind != ControlKind::GroupBox) {  // a group box is never a tab stop
      EXPECT_EQ((style & WS_TABSTOP) == 0, (t.styles & skelmar::kNoTabStop) != 0);
    }
  }
  EXPECT_EQ(GetFocus(), Item(Control::Input));
  EXPECT_EQ(LOWORD(SendMessageW(Dialog(), DM_GETDEFID, 0, 0)), Id(Control::Send));
}

TEST_F(Win32DialogTest, InputBoxDrivesSendAndClearInputAndOnlyExitCloses) {
  Open();
  Type("AB");
  EXPECT_TRUE(Enabled(Control::Send));
  EXPECT_TRUE(Enabled(Control::ClearInput));
  Click(Control::ClearInput);
  EXPECT_EQ(Text(Control::Input), "");
  EXPECT_FALSE(Enabled(Control::Send));
  EXPECT_FALSE(Enabled(Control::ClearInput));
  EXPECT_EQ(GetFocus(), Item(Control::Input));

  PostMessageW(Item(Control::Input), WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  EXPECT_TRUE(IsWindow(Dialog()));
  EXPECT_NE(window_->Controller(), nullptr);

  Type("X");  // Enter on Exit, reached with Tab, sends as everywhere else
  SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(Control::Exit)), TRUE);
  PressEnter();
  EXPECT_TRUE(IsWindow(Dialog()));
  EXPECT_TRUE(window_->SendTimerRunning());
}

// Sending a line and coming back: Enter presses Send, the ticks write one
// character each, and the reader's reply is typed into the Response box.
TEST_F(Win32DialogTest, EnterSendsTheLineAndTheReplyLandsInTheResponseBox) {
  Open();
  Type("ONE");
  PressEnter();
  ASSERT_TRUE(window_->SendTimerRunning());
  EXPECT_EQ(window_->SendTimerPeriod(), 500u);
  EXPECT_EQ(SendingControlsEnabled(), 0);
  EXPECT_TRUE(Enabled(Control::Exit));
  PressEnter();  // a second Enter while sending changes nothing
  EXPECT_TRUE(IsWindow(Dialog()));

  EXPECT_EQ(Tick(), "O");
  EXPECT_EQ(Text(Control::Status), "Sending...O");
  EXPECT_EQ(Tick(), "N");
  EXPECT_EQ(Tick(), "E");
  EXPECT_EQ(Text(Control::Status), "Sending...ONE");
  EXPECT_EQ(Tick(), "\r");
  EXPECT_FALSE(window_->SendTimerRunning());
  EXPECT_EQ(Text(Control::Status), "Ready");
  EXPECT_EQ(Text(Control::History), "ONE\r\n");
  EXPECT_EQ(GetFocus(), Item(Control::Response));
  const std::string response = Text(Control::Response);
  EXPECT_GT(response.size(), 4u) << "the reader's reply did not arrive";
  EXPECT_EQ(response.substr(response.size() - 4), "\r\n\r\n");
  EXPECT_EQ(SendingControlsEnabled(), 4);
}

TEST_F(Win32DialogTest, TextBeyondLatin1IsRefused) {
  Open();
  SetWindowTextW(Item(Control::Input), L"caf\u20AC");
  Pump();
  Click(Control::Send);
  EXPECT_EQ(Text(Control::Status), skelmar::kNotLatin1);
  EXPECT_FALSE(window_->SendTimerRunning());
  EXPECT_EQ(TakeWrittenText(), "");
}

TEST_F(Win32DialogTest, SendFileWithoutReaderShowsNoFileDialog) {
  InstallPreset("none");
  Open();
  Click(Control::SendFile);
  EXPECT_EQ(Text(Control::Status), skelmar::kNoReader);
  EXPECT_TRUE(answerer_.Seen().empty());
}

// The file dialog: titled "INPUT BATCH FILE", it opens with the previous
// choice preset; the chosen batch goes out line by line.
TEST_F(Win32DialogTest, SendFileSendsTheBatchChosenInTheFileDialog) {
  TempFolder folder;
  const std::string path = folder.Write("batch.txt", ";;comment\r\nA\r\n\r\nB\r\nEND\r\n");
  Open();
  answerer_.ChooseFile(path);
  Click(Control::SendFile);
  ASSERT_EQ(answerer_.Seen().size(), 1u);
  EXPECT_EQ(answerer_.Seen()[0].caption, "INPUT BATCH FILE");
  EXPECT_EQ(SendingControlsEnabled(), 0);
  const uint64_t start = clock_->NowMs();
  EXPECT_EQ(RunTimer(), "A\r\rB\r");
  EXPECT_EQ(clock_->NowMs() - start, 500u * 5 + 3000u * 2);  // five ticks, two pauses
  EXPECT_EQ(Text(Control::History), "B\r\n\r\nA\r\n");
  EXPECT_EQ(SendingControlsEnabled(), 2);  // the input box and Send File

  std::string preset;
  answerer_.Answer([&](HWND dialog) {
    preset = win32ui::GetWindowTextLatin1(GetDlgItem(dialog, 0x47C));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Click(Control::SendFile);
  EXPECT_NE(preset.find("batch.txt"), std::string::npos) << preset;
  EXPECT_EQ(TakeWrittenText(), "");
}

// Start-up failures: the box, then exit code 1 with no dialog left.
TEST_F(Win32DialogTest, StartupFailuresShowTheirBoxAndEndWithCodeOne) {
  skelmar::StartupHooks noTemplate;
  noTemplate.options.templateId = 999;
  answerer_.Press(IDOK);
  EXPECT_EQ(skelmar::RunSetupTool(GetModuleHandleW(nullptr), prompts_, noTemplate), 1);

  skelmar::StartupHooks throwing;
  throwing.options.createController = [](skelmar::DialogWindow&, skelmar::Prompts&)
      -> std::unique_ptr<skelmar::SetupDialog> { throw skelmar::WinException{8, "Out of memory"}; };
  answerer_.Press(IDOK);
  EXPECT_EQ(skelmar::RunSetupTool(GetModuleHandleW(nullptr), prompts_, throwing), 1);

  ASSERT_EQ(answerer_.Seen().size(), 2u);
  EXPECT_EQ(answerer_.Seen()[0].caption, "CreateDialog");
  EXPECT_EQ(answerer_.Seen()[0].text.rfind("Error x", 0), 0u) << answerer_.Seen()[0].text;
  EXPECT_NE(answerer_.Seen()[0].text, "Error x0");
  EXPECT_EQ(answerer_.Seen()[1].caption, "Exception");
  EXPECT_EQ(answerer_.Seen()[1].text, "Out of memory");
}

TEST_F(Win32DialogTest, ExitEndsTheMessageLoopWithCodeZero) {
  skelmar::StartupHooks hooks;
  hooks.options.timerMode = Win32SetupWindow::TimerMode::Manual;
  bool shown = false;
  hooks.shown = [&](Win32SetupWindow& window) {
    shown = IsWindowVisible(window.Handle()) != FALSE;
    answerer_.Ignore(window.Handle());
    PostMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(Id(Control::Exit), BN_CLICKED), 0);
  };
  EXPECT_EQ(skelmar::RunSetupTool(GetModuleHandleW(nullptr), prompts_, hooks), 0);
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace skelmar_test
