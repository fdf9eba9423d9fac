// The setup dialog driven through its widgets against the simulated legacy
// reader, in virtual time.
#include <QApplication>
#include <QTest>

#include "temp_files.h"
#include "window_fixture.h"

namespace skelmar_test {
namespace {

using skelmar::Control;

TEST_F(WindowTest, StartsIdleWithEveryCaption) {
  OpenDialog();
  EXPECT_EQ(window_->windowTitle().toStdString(), "Varnholt Reader USB-KB Setup Version 3.1 Beta");
  const std::pair<Control, const char*> captions[] = {
      {Control::InputGroup, "Input Setup String"}, {Control::Send, "Send"},
      {Control::SendFile, "Send File"},           {Control::ClearInput, "Clear input"},
      {Control::Exit, "Exit"},                    {Control::Status, "Ready"},
      {Control::HistoryGroup, "History"},         {Control::ResponseGroup, "Response"},
      {Control::History, ""},                     {Control::Response, ""},
      {Control::Input, ""}};
  for (const auto& [id, caption] : captions) EXPECT_EQ(Text(id), caption) << static_cast<int>(id);
  EXPECT_FALSE(Enabled(Control::Send));
  EXPECT_FALSE(Enabled(Control::ClearInput));
  EXPECT_TRUE(Enabled(Control::SendFile));
  EXPECT_TRUE(Enabled(Control::Exit));
  EXPECT_EQ(window_->focusWidget(), Input());
  EXPECT_TRUE(qobject_cast<QPushButton*>(Widget(Control::Send))->isDefault());
  EXPECT_TRUE(Box(Control::History)->isReadOnly());
  EXPECT_FALSE(Box(Control::Response)->isReadOnly());
}

TEST_F(WindowTest, SendAndClearFollowTheInputBox) {
  OpenDialog();
  Type("A");
  EXPECT_TRUE(Enabled(Control::Send));
  EXPECT_TRUE(Enabled(Control::ClearInput));
  QTest::keyClick(Input(), Qt::Key_Backspace);
  EXPECT_FALSE(Enabled(Control::Send));
  EXPECT_FALSE(Enabled(Control::ClearInput));
  Type("AB");
  Click(Control::ClearInput);
  EXPECT_EQ(Text(Control::Input), "");
  EXPECT_FALSE(Enabled(Control::Send));
  EXPECT_FALSE(Enabled(Control::ClearInput));
  EXPECT_EQ(window_->focusWidget(), Input());
}

TEST_F(WindowTest, SendsOneCharacterATickThenCarriageReturn) {
  struct Case {
    const char* typed;
    bool capsLock;
    const char* written;
  };
  const Case cases[] = {
      {"aBc", false, "aBc\r"},
      {"aBc", true, "AbC\r"},
      {"1\xE9-z", true, "1\xE9-Z\r"},  // only A to Z and a to z are inverted
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    InstallPreset("legacy-reader");
    host_->SetCapsLock(c.capsLock);
    OpenDialog();
    Type(c.typed);
    Click(Control::Send);
    EXPECT_EQ(SendingControlsEnabled(), 0);
    EXPECT_TRUE(Enabled(Control::Exit));
    EXPECT_EQ(Status(), "Ready");  // "Sending..." shows from the first tick on

    const std::string typed = c.typed;
    std::vector<TimedWrites> expected;
    for (size_t i = 0; i < typed.size(); ++i) {
      const TimedWrites tick = Tick();
      expected.push_back({500 * (i + 1), std::string(1, c.written[i])});
      EXPECT_EQ(tick, expected.back());
      EXPECT_EQ(Status(), "Sending..." + typed.substr(0, i + 1));
    }
    EXPECT_EQ(Tick(), (TimedWrites{500 * (typed.size() + 1), "\r"}));
    EXPECT_FALSE(window_->SendTimerRunning());
    EXPECT_EQ(Status(), "Ready");
    EXPECT_EQ(Text(Control::History), typed + "\r\n");
    EXPECT_EQ(Text(Control::Input), typed);
    EXPECT_EQ(SendingControlsEnabled(), 4);
    EXPECT_EQ(window_->Controller()->Channel().DeviceHandle(), 0u);
  }
}

TEST_F(WindowTest, LongStringIsCutTo254Characters) {
  OpenDialog();
  std::string typed;
  for (int i = 0; i < 300; ++i) typed += static_cast<char>('a' + i % 26);
  Input()->setText(QString::fromLatin1(typed.c_str()));
  Click(Control::Send);
  const std::vector<TimedWrites> timeline = RunTimer();
  std::string written;
  for (const TimedWrites& w : timeline) written += w.text;
  EXPECT_EQ(written, typed.substr(0, 254) + "\r");
  EXPECT_EQ(timeline.size(), 255u);
  EXPECT_EQ(Text(Control::History), typed.substr(0, 254) + "\r\n");
}

TEST_F(WindowTest, HistoryAndResponseAfterEachLine) {
  OpenDialog();
  Type("ONE");
  QTest::keyClick(Input(), Qt::Key_Return);  // Enter in the input box presses Send
  ASSERT_TRUE(window_->SendTimerRunning());
  for (int i = 0; i < 3; ++i) Tick();
  // The last tick: the Response box gets CR LF, then the reader's reply
  // arrives as typing in the focused Response box.
  clock_->AdvanceMs(500);
  window_->Controller()->SendTimerTick();
  EXPECT_EQ(Text(Control::Response), "\r\n");
  EXPECT_EQ(window_->focusWidget(), Box(Control::Response));
  QCoreApplication::processEvents();
  const std::string afterOne = Text(Control::Response);
  EXPECT_GT(afterOne.size(), 4u) << "the reader's reply did not arrive";
  EXPECT_EQ(afterOne.substr(afterOne.size() - 4), "\r\n\r\n");
  EXPECT_EQ(Text(Control::History), "ONE\r\n");

  Click(Control::ClearInput);
  Type("TWO");
  Click(Control::Send);
  RunTimer();
  EXPECT_EQ(Text(Control::History), "TWO\r\nONE\r\n");
  const std::string afterTwo = Text(Control::Response);
  EXPECT_EQ(afterTwo.substr(afterTwo.size() - afterOne.size() - 2), "\r\n" + afterOne);
}

TEST_F(WindowTest, BoxesKeepTheirFirst2047Characters) {
  OpenDialog();
  const std::string old(3000, 'h');
  window_->SetText(Control::History, old);
  window_->SetText(Control::Response, std::string(2046, 'r') + "\r\nrrr");
  Type("X");
  Click(Control::Send);
  Tick();
  clock_->AdvanceMs(500);
  window_->Controller()->SendTimerTick();  // the reader's reply is not delivered yet
  EXPECT_EQ(Text(Control::History), "X\r\n" + old.substr(0, 2047));
  // A cut that would split CR LF drops the whole pair.
  EXPECT_EQ(Text(Control::Response), "\r\n" + std::string(2046, 'r'));
}

TEST_F(WindowTest, FiveLineBatchTimeline) {
  TempFolder folder;
  prompts_.fileAnswers.push_back(folder.Write("batch.txt", ";;comment\nA\n\nB\nEND\n"));
  OpenDialog();
  Click(Control::SendFile);
  EXPECT_EQ(prompts_.fileTitles, std::vector<std::string>{"INPUT BATCH FILE"});
  EXPECT_EQ(SendingControlsEnabled(), 0);
  const std::vector<TimedWrites> expected = {
      {500, "A"}, {1000, "\r"}, {4500, "\r"}, {8000, "B"}, {8500, "\r"}};
  EXPECT_EQ(RunTimer(), expected);
  EXPECT_EQ(clock_->Sleeps(), (std::vector<uint32_t>{3000, 3000}));
  EXPECT_EQ(Text(Control::History), "B\r\n\r\nA\r\n");
  EXPECT_TRUE(Enabled(Control::SendFile));
  EXPECT_TRUE(Enabled(Control::Input));
  EXPECT_FALSE(Enabled(Control::Send));
  EXPECT_EQ(window_->Controller()->State().BatchIndex, 0);
  EXPECT_EQ(window_->Controller()->State().LinesLeft, 0);
  EXPECT_EQ(window_->Controller()->Channel().DeviceHandle(), 0u);
}

TEST_F(WindowTest, EndWithASpaceOrInSmallLettersIsSent) {
  TempFolder folder;
  prompts_.fileAnswers.push_back(folder.Write("b", "END \nend\nEND\nNOT SENT\n"));
  OpenDialog();
  Click(Control::SendFile);
  std::string written;
  for (const TimedWrites& w : RunTimer()) written += w.text;
  EXPECT_EQ(written, "END \rend\r");
  EXPECT_EQ(Text(Control::History), "end\r\nEND \r\n");
}

TEST_F(WindowTest, NoReaderIsReportedBeforeAnyFileDialog) {
  InstallPreset("none");
  OpenDialog();
  Click(Control::SendFile);
  EXPECT_EQ(Status(), "No Varnholt USB device found");
  EXPECT_TRUE(prompts_.fileTitles.empty());
  Type("A");
  Click(Control::Send);
  EXPECT_EQ(Status(), "No Varnholt USB device found");
  EXPECT_FALSE(window_->SendTimerRunning());
  EXPECT_TRUE(Enabled(Control::Send));
  EXPECT_TRUE(Enabled(Control::SendFile));
}

TEST_F(WindowTest, SendWithEmptyInputSaysThereIsNothingToSend) {
  OpenDialog();
  window_->Controller()->HandleCommand(Control::Send, skelmar::kClicked);
  EXPECT_EQ(Status(), "There is nothing to send.");
  EXPECT_FALSE(window_->SendTimerRunning());
}

TEST_F(WindowTest, TextBeyondLatin1IsRefusedAndNothingIsSent) {
  OpenDialog();
  Input()->setText(QString::fromUtf8("K0 \xE2\x82\xAC"));
  Click(Control::Send);
  EXPECT_EQ(Status(), skelmar::kNotLatin1);
  EXPECT_FALSE(window_->SendTimerRunning());
  EXPECT_TRUE(Enabled(Control::Send));
}

TEST_F(WindowTest, BatchesThatCannotBeSentRestoreTheControls) {
  TempFolder folder;
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "L\n";
  struct Case {
    std::string path;
    const char* status;
  };
  const Case cases[] = {
      {"/" + std::string(255, 'p'), "The batch file's path is longer than 255 characters."},
      {folder.Path("missing.txt"), "The batch file cannot be read."},
      {folder.Write("long.txt", hundred + "END\n"), "The batch file holds more than 99 lines to send."},
      {folder.Write("empty.txt", ";;only a comment\nEND\nA\n"), "There is nothing to send."},
  };
  OpenDialog();
  Type("keep");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    prompts_.fileAnswers.push_back(c.path);
    Click(Control::SendFile);
    EXPECT_EQ(Status(), c.status);
    EXPECT_FALSE(window_->SendTimerRunning());
    EXPECT_EQ(SendingControlsEnabled(), 4);
    EXPECT_EQ(window_->Controller()->Channel().DeviceHandle(), 0u);
    EXPECT_EQ(window_->Controller()->State().LinesLeft, 0);
    EXPECT_EQ(TakeWrittenText(), "");
  }
}

TEST_F(WindowTest, CancelledFileDialogLeavesReaderOpenAndSaysNothing) {
  OpenDialog();
  prompts_.fileAnswers.push_back(std::nullopt);
  Click(Control::SendFile);
  EXPECT_EQ(Status(), "Ready");
  EXPECT_NE(window_->Controller()->Channel().DeviceHandle(), 0u);
  EXPECT_TRUE(Enabled(Control::SendFile));
  EXPECT_TRUE(prompts_.warnings.empty());
}

TEST_F(WindowTest, ReaderUnpluggedWhileSendingTheLineStillEnds) {
  InstallDevices({R"({"preset": "legacy-reader", "unplug_after_ms": 700})"});
  OpenDialog();
  Type("ABC");
  Click(Control::Send);
  EXPECT_EQ(RunTimer(), (std::vector<TimedWrites>{{500, "A"}}));
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Text(Control::History), "ABC\r\n");
  EXPECT_TRUE(Enabled(Control::Send));
  EXPECT_EQ(window_->Controller()->Channel().DeviceHandle(), 0u);
}

TEST_F(WindowTest, ExitClosesEvenWhileSending) {
  OpenDialog();
  Type("ABC");
  Click(Control::Send);
  Tick();
  ASSERT_TRUE(Enabled(Control::Exit));
  Click(Control::Exit);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(window_->Controller(), nullptr);
  EXPECT_FALSE(window_->SendTimerRunning());
  // The reader was released with the controller: it can be opened again.
  skelmar::ReaderChannel channel;
  EXPECT_TRUE(channel.FindReader());
}

TEST_F(WindowTest, QtTimerRunsEveryHalfSecondWhileALineIsSent) {
  OpenDialog(skelmar::SetupWindow::TimerMode::Real);
  EXPECT_FALSE(window_->SendTimer().isActive());
  Type("AB");
  Click(Control::Send);
  EXPECT_TRUE(window_->SendTimer().isActive());
  EXPECT_EQ(window_->SendTimer().interval(), 500);
  for (int i = 0; i < 3; ++i) window_->Controller()->SendTimerTick();
  EXPECT_FALSE(window_->SendTimer().isActive());
  EXPECT_EQ(TakeWrittenText(), "AB\r");
}

TEST_F(WindowTest, SecondEnterWhileSendingDoesNotPressExit) {
  OpenDialog();
  Type("A");
  QTest::keyClick(Input(), Qt::Key_Return);
  ASSERT_TRUE(window_->SendTimerRunning());
  QWidget* focused = window_->focusWidget();
  QTest::keyClick(focused ? focused : window_.get(), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->SendTimerRunning());
}

TEST_F(WindowTest, EscapeDoesNotClose) {
  OpenDialog();
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_NE(window_->Controller(), nullptr);
}

}  // namespace
}  // namespace skelmar_test
