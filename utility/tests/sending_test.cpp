// Send Command, the hexadecimal send of the menu commands, the reader's
// keyboard answer and the tick's script steps.
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <thread>

#include "dialog_fixture.h"
#include "utility/command_sender.h"
#include "utility/handlers.h"
#include "utility/script_runner.h"

namespace utility::testing {
namespace {

// Every SET_FEATURE line of the transcript, without its path.
std::vector<std::string> FeatureWrites(HostWrapper& host) {
  std::vector<std::string> writes;
  for (const std::string& line : host.sim().Transcript()) {
    const size_t at = line.find("SET_FEATURE ");
    if (at != std::string::npos) writes.push_back(line.substr(at + 12));
  }
  return writes;
}

class SendingTest : public DialogTest {
 protected:
  void StartWith(const std::string& preset) {
    Start(preset);
    if (preset == "none") {
      // The command panel as it shows after detection.
      dialog->ShowCommandPanel();
    } else {
      WaitForCommandPanel();
    }
    host->sim().ClearTranscript();
  }
  QWidget* Focused() const { return dialog->focusWidget(); }
  QWidget* Widget(ControlId id) const { return dialog->Control(id); }
};

struct TypedCase {
  const char* name;
  const char* preset;
  std::string typed;
  std::string recorded;     // the history line
  std::string message;      // empty: none
  ControlId focus;
  bool responseEmptied;
  std::string firstWrite;   // leading bytes of the first feature report; empty: nothing sent
};
void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }


class TypedSendTest : public SendingTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedSendTest, SendsRecordsAndMovesTheFocus) {
  const TypedCase& c = GetParam();
  StartWith(c.preset);
  session.HistoryText = "earlier\r\n";
  dialog->SetText(ControlId::ResponseBox, "old answer");
  TypeCommand(c.typed);
  Click(ControlId::SendCommand);

  if (c.message.empty()) {
    EXPECT_TRUE(prompter.messages.empty());
  } else {
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], (ScriptedPrompter::Message{c.message, "Error"}));
  }
  // An empty command, or one that reached no reader, is never recorded.
  EXPECT_EQ(session.HistoryText, (c.recorded.empty() ? "" : c.recorded + "\r\n") + "earlier\r\n");
  if (!c.recorded.empty()) {
    EXPECT_EQ(Text(ControlId::HistoryBox), session.HistoryText);
  }
  // A command not sent stays for the operator to send again.
  const bool kept = !c.message.empty() && c.message == NotSentMessage(c.typed);
  EXPECT_EQ(Text(ControlId::CommandBox), kept ? c.typed : "");
  EXPECT_EQ(Focused(), Widget(c.focus));
  // An emptied response box takes what the simulated reader types back.
  const std::string answer = std::string(c.preset) == "reader" ? c.recorded + " OK\r\n" : "";
  EXPECT_EQ(Text(ControlId::ResponseBox), c.responseEmptied ? answer : "old answer");
  const std::vector<std::string> writes = FeatureWrites(*host);
  if (c.firstWrite.empty()) {
    EXPECT_TRUE(writes.empty());
  } else {
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes[0].rfind(c.firstWrite, 0), 0u) << writes[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TypedSendTest,
    ::testing::Values(
        TypedCase{"Empty", "reader", "", "", kEmptyCommandMessage, ControlId::CommandBox, false, ""},
        TypedCase{"TabsOnly", "reader", "\t\t", "", kEmptyCommandMessage, ControlId::CommandBox, false, ""},
        TypedCase{"NoReader", "none", "ab", "", NotSentMessage("ab"), ControlId::CommandBox, false, ""},
        TypedCase{"FrameR1", "reader", "R1", "R1", "", ControlId::CommandBox, false, "00 02 52 31 0D 03 6F"},
        TypedCase{"TabsRemovedSpacesKept", "reader", "a\tb c", "ab c", "", ControlId::CommandBox, false,
                  "00 02 61 62 20 63 0D 03"},
        TypedCase{"SecondCharCapitalY", "reader", "xY", "xY", "", ControlId::ResponseBox, true, "00 02 78 59 0D"},
        TypedCase{"SecondCharSmallY", "reader", "xy", "xy", "", ControlId::CommandBox, false, "00 02 78 79 0D"},
        TypedCase{"ThreeCharsWithY", "reader", "xYz", "xYz", "", ControlId::ResponseBox, true, "00 02 78 59 7A 0D"},
        TypedCase{"LineBreakKept", "reader", "a\r\nb", "a\r\nb", "", ControlId::CommandBox, false, "00 02 61 0D 0A 62 0D"}),
    [](const ::testing::TestParamInfo<TypedCase>& info) { return std::string(info.param.name); });

TEST_F(SendingTest, LineSeparatorsAreLineBreaksAndTextBeyondLatin1IsRefused) {
  StartWith("reader");
  auto* box = qobject_cast<QPlainTextEdit*>(Widget(ControlId::CommandBox));
  const QString euro = QString::fromUtf8("c1 \xE2\x82\xAC");
  box->setPlainText(euro);
  Click(ControlId::SendCommand);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, kNotLatin1Message);
  EXPECT_TRUE(FeatureWrites(*host).empty());
  EXPECT_EQ(session.HistoryText, "");
  EXPECT_EQ(box->toPlainText(), euro) << "kept for the operator to mend";

  box->setPlainText(QStringLiteral("c1") + QChar(0x2028) + QStringLiteral("c2"));  // Shift+Enter
  Click(ControlId::SendCommand);
  EXPECT_EQ(prompter.messages.size(), 1u);
  const std::vector<std::string> writes = FeatureWrites(*host);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes[0].rfind("00 02 63 31 0D 0A 63 32", 0), 0u) << writes[0];
  EXPECT_EQ(session.HistoryText, "c1\r\nc2\r\n");
}

struct QueuedClickCase {
  const char* name;
  bool script;        // the exchange is a running script's line, else Send Command
  ControlId clicked;  // clicked while the exchange blocks the dialog
  bool ends;          // the dialog ends
};
void PrintTo(const QueuedClickCase& c, std::ostream* os) { *os << c.name; }

class QueuedClickTest : public SendingTest, public ::testing::WithParamInterface<QueuedClickCase> {};

// A click queued during an exchange is carried out after it only when it
// stops the run or ends the dialog; one that would send again is dropped.
// The buttons stay enabled all along.
TEST_P(QueuedClickTest, OnlyStopAndExitAreCarriedOutAfterTheExchange) {
  const QueuedClickCase& c = GetParam();
  StartWith("reader");
  ScriptRunner runner(dialog->controller().Context());
  dialog->controller().SetScriptHandler(&runner);
  QWidget* target = Widget(c.clicked);
  bool enabledMeanwhile = true, posted = false;
  host->onOpen = [&] {
    enabledMeanwhile = enabledMeanwhile && target->isEnabled() && dialog->MenuBar()->isEnabled();
    if (posted) return;
    posted = true;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(target, new QMouseEvent(type, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                                                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    }
  };
  if (c.script) {
    TypeCommand("A1\r\nA2\r\nEND\r\n");
    Click(ControlId::RunScript);
    Tick();  // sends A1
  } else {
    TypeCommand("A1");
    Click(ControlId::SendCommand);
  }
  ASSERT_TRUE(posted);
  EXPECT_TRUE(enabledMeanwhile);
  EXPECT_EQ(dialog->isVisible(), !c.ends);
  if (!c.ends) {
    EXPECT_EQ(session.runState.ScriptRunning, 0);
    Tick(3);
  }
  EXPECT_EQ(session.HistoryText, "A1\r\n");
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
  EXPECT_TRUE(prompter.fileRequests.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Queued, QueuedClickTest,
    ::testing::Values(QueuedClickCase{"SendCommandAgain", false, ControlId::SendCommand, false},
                      QueuedClickCase{"RunScriptWhileIdle", false, ControlId::RunScript, false},
                      QueuedClickCase{"SendFile", false, ControlId::SendFile, false},
                      QueuedClickCase{"StopBeforeTheNextLine", true, ControlId::RunScript, false},
                      QueuedClickCase{"ExitDuringARun", true, ControlId::PanelExit, true}),
    [](const ::testing::TestParamInfo<QueuedClickCase>& info) { return std::string(info.param.name); });

TEST_F(SendingTest, TypedTextBeyond124CharactersIsRefusedWhole) {
  StartWith("reader");
  const std::string longest(124, 'A');
  const std::string tooLong(125, 'A');
  TypeCommand(tooLong);
  Click(ControlId::SendCommand);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (ScriptedPrompter::Message{kTypedTooLongMessage, "Error"}));
  EXPECT_EQ(Text(ControlId::CommandBox), tooLong);
  EXPECT_EQ(session.HistoryText, "");
  EXPECT_TRUE(FeatureWrites(*host).empty());

  TypeCommand(longest);
  Click(ControlId::SendCommand);
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(session.HistoryText, longest + "\r\n");
  EXPECT_FALSE(FeatureWrites(*host).empty());
}

TEST_F(SendingTest, AnInterfaceThatCannotBeOpenedPrintsTheDiagnosticLine) {
  MakeHost("reader");
  MakeDialog();
  WaitForCommandPanel();
  // The reader's first interface cannot be opened; the next one still gets
  // the frame.
  host->RefuseSecondOpen(host->Paths().at(0));
  TypeCommand("ab");
  ::testing::internal::CaptureStdout();
  Click(ControlId::SendCommand);
  std::fflush(stdout);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Fail to open device! \n");
  EXPECT_EQ(session.HistoryText, "ab\r\n");
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_FALSE(FeatureWrites(*host).empty());
}

TEST_F(SendingTest, TheReadersTypedAnswerLandsInTheFocusedResponseBoxUnderABusyCursor) {
  StartWith("reader");
  bool busyDuringExchange = false;
  host->onOpen = [&] {
    busyDuringExchange = QApplication::overrideCursor() != nullptr &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  };
  TypeCommand("xY");
  Click(ControlId::SendCommand);
  EXPECT_TRUE(busyDuringExchange);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // Queued during the send, the typed answer lands after the box was emptied.
  ProcessEvents();
  EXPECT_EQ(Text(ControlId::ResponseBox), "xY OK\r\n");
  EXPECT_EQ(Text(ControlId::CommandBox), "");

  // Typing from another thread is queued to the dialog as well.
  std::thread reader([this] { host->TypeAsReader("06 41\r"); });
  reader.join();
  ProcessEvents();
  EXPECT_EQ(Text(ControlId::ResponseBox), "xY OK\r\n06 41\r\n");

  // Without a capital Y second, typing lands in the command box.
  TypeCommand("xy");
  Click(ControlId::SendCommand);
  ProcessEvents();
  EXPECT_EQ(Text(ControlId::CommandBox), "");
  host->TypeAsReader("12\r");
  ProcessEvents();
  EXPECT_EQ(Text(ControlId::CommandBox), "12\r\n");
  EXPECT_EQ(Text(ControlId::ResponseBox), "xY OK\r\n06 41\r\n");
}

struct HexCase {
  const char* name;
  const char* preset;
  std::string typed;
  const char* message;
  std::string command;  // frame text of the record; empty when no frame was built
  bool answered;
};
void PrintTo(const HexCase& c, std::ostream* os) { *os << c.name; }


// The simulated reader's answer to "52 24": STX, ACK, its language '0', ETX, LRC.
const std::string kLanguageAnswer = "02 06 30 03 37 ";

class HexSendTest : public SendingTest, public ::testing::WithParamInterface<HexCase> {};

TEST_P(HexSendTest, ShowsTheExchangeRecord) {
  const HexCase& c = GetParam();
  StartWith(c.preset);
  TypeCommand(c.typed);
  dialog->SendHexCommand();

  const std::string history = Text(ControlId::HistoryBox);
  const std::string head = "Command:  " + c.command + "\r\nResponse:  ";
  ASSERT_EQ(history.rfind(head, 0), 0u) << history;
  ASSERT_GE(history.size(), head.size() + 4);
  EXPECT_EQ(history.substr(history.size() - 4), "\r\n\r\n");
  const std::string answer = history.substr(head.size(), history.size() - head.size() - 4);
  EXPECT_EQ(answer, c.answered ? kLanguageAnswer : "");
  if (c.message == nullptr) {
    EXPECT_TRUE(prompter.messages.empty());
  } else {
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], (ScriptedPrompter::Message{c.message, "Error"}));
  }
  EXPECT_EQ(Text(ControlId::CommandBox), "");
  EXPECT_EQ(dialog->CommandText(), "");
  EXPECT_EQ(session.HistoryText, "") << "HistoryText is for typed commands only";
  EXPECT_EQ(FeatureWrites(*host).empty(), !c.answered);
}

INSTANTIATE_TEST_SUITE_P(
    Hex, HexSendTest,
    ::testing::Values(
        HexCase{"ReviewLanguage", "reader", "52 24", nullptr, "02 52 24 03 77 ", true},
        HexCase{"ReviewLanguageNoReader", "none", "52 24", nullptr, "02 52 24 03 77 ", false},
        HexCase{"WithoutBlanks", "reader", "5224", nullptr, "02 52 24 03 77 ", true},
        HexCase{"TabsRemoved", "none", "52\t24", nullptr, "02 52 24 03 77 ", false},
        HexCase{"LineBreakDecodesAsZero", "none", "52\r\n24", nullptr, "02 52 00 24 03 77 ", false},
        HexCase{"SpacesAndTabsOnly", "reader", " \t \t", kEmptyCommandMessage, "", false},
        HexCase{"Longest", "none", std::string(250, 'F'), nullptr,
                [] {
                  std::string s = "02 ";
                  for (int i = 0; i < 125; ++i) s += "FF ";
                  return s + "03 FE ";
                }(),
                false},
        HexCase{"TooLong", "reader", std::string(252, 'F'), kInvalidHexMessage, "", false}),
    [](const ::testing::TestParamInfo<HexCase>& info) { return std::string(info.param.name); });

// A script runner that records what the tick and the send ask of it.
class FakeScript : public ScriptRunHandler {
 public:
  explicit FakeScript(UtilityContext context) : context_(context) {}
  void ToggleScriptRun() override {
    ++toggles;
    context_.session.runState.ScriptRunning = 0;
  }
  void SendScriptFile() override { ++sendFiles; }
  void RunScriptStep() override {
    ++steps;
    if (nextCommand.empty()) {
      context_.session.runState.ScriptRunning = 0;
    } else {
      context_.CommandText = nextCommand;
    }
  }
  void StopAtLine(const std::string& line, const std::string& why) override {
    stops.push_back(line + ": " + why);
    context_.session.runState.ScriptRunning = 0;
  }
  void StopAfterLine(const std::string& line, const std::string& why) override {
    stops.push_back("after " + line + ": " + why);
    context_.session.runState.ScriptRunning = 0;
  }
  std::string nextCommand;
  int toggles = 0, sendFiles = 0, steps = 0;
  std::vector<std::string> stops;

 private:
  UtilityContext context_;
};

TEST_F(SendingTest, TheTickSendsWhatTheScriptStepPicked) {
  StartWith("reader");
  FakeScript script(dialog->controller().Context());
  dialog->controller().SetScriptHandler(&script);
  dialog->SetText(ControlId::CommandBox, "Current command: R1");

  Tick();
  EXPECT_EQ(script.steps, 0) << "no step while no script runs";

  session.runState.ScriptRunning = 1;
  script.nextCommand = "R1";
  Tick();
  EXPECT_EQ(script.steps, 1);
  EXPECT_EQ(session.HistoryText, "R1\r\n");
  EXPECT_EQ(Text(ControlId::CommandBox), "Current command: R1") << "a script send keeps the progress";

  script.nextCommand.clear();  // the step ends the run: nothing is sent
  Tick();
  EXPECT_EQ(script.steps, 2);
  EXPECT_EQ(session.HistoryText, "R1\r\n");

  Click(ControlId::RunScript);
  Click(ControlId::SendFile);
  EXPECT_EQ(script.toggles, 1);
  EXPECT_EQ(script.sendFiles, 1);
}

TEST_F(SendingTest, AScriptLineThatReachedNoReaderStopsTheRunUnrecorded) {
  StartWith("none");
  FakeScript script(dialog->controller().Context());
  dialog->controller().SetScriptHandler(&script);
  session.runState.ScriptRunning = 1;
  script.nextCommand = "R1";
  Tick();
  EXPECT_EQ(script.stops, (std::vector<std::string>{std::string("R1: ") + kNoReaderReason}));
  EXPECT_EQ(session.HistoryText, "");
  EXPECT_TRUE(prompter.messages.empty()) << "the runner says so";
}

TEST_F(SendingTest, AnEmptyScriptLineIsNotRecordedWhileTicksRunUnderTheMessage) {
  StartWith("reader");
  FakeScript script(dialog->controller().Context());
  dialog->controller().SetScriptHandler(&script);
  session.runState.ScriptRunning = 1;
  script.nextCommand = "\t";  // empty once its tab is removed
  bool nested = false;
  prompter.whileMessageOpen = [&] {
    if (nested) return;
    nested = true;
    script.nextCommand = "R2";  // the next step picks another line
    Tick();
  };
  Tick();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(session.HistoryText, "R2\r\n");
  EXPECT_EQ(script.steps, 2);
}

struct PauseCase {
  const char* name;
  std::string command;
  bool pauses;
  std::string recorded;
};
void PrintTo(const PauseCase& c, std::ostream* os) { *os << c.name; }


class ScriptPauseTest : public SendingTest, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(ScriptPauseTest, OnlyATwoCharacterCommandWithCapitalYPausesARun) {
  StartWith("reader");
  FakeScript script(dialog->controller().Context());
  dialog->controller().SetScriptHandler(&script);
  dialog->SetText(ControlId::CommandBox, "progress");
  dialog->SetText(ControlId::ResponseBox, "old");
  session.runState.ScriptRunning = 1;
  script.nextCommand = GetParam().command;
  Tick();
  const bool pauses = GetParam().pauses;
  EXPECT_EQ(session.runState.ScriptPaused, pauses ? 1 : 0);
  EXPECT_EQ(script.toggles, pauses ? 1 : 0);
  EXPECT_EQ(Text(ControlId::ResponseBox), pauses ? "xY OK\r\n" : "old") << "emptied, then the reader's answer";
  if (pauses) {
    EXPECT_EQ(Focused(), Widget(ControlId::ResponseBox));
  }
  EXPECT_EQ(Text(ControlId::CommandBox), "progress");
  EXPECT_EQ(session.HistoryText, GetParam().recorded + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Pause, ScriptPauseTest,
                         ::testing::Values(PauseCase{"xY", "xY", true, "xY"}, PauseCase{"xYz", "xYz", false, "xYz"},
                                           PauseCase{"xy", "xy", false, "xy"},
                                           PauseCase{"TabThenY", "x\tY", true, "xY"}),
                         [](const ::testing::TestParamInfo<PauseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace utility::testing
