// The script runner driven tick by tick against the simulated reader, in
// virtual time: what reaches the reader, the command box, the button label
// and the runner's message boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "reader_session.h"
#include "utility/command_sender.h"
#include "utility/control_ids.h"
#include "utility/script_file.h"
#include "utility/script_runner.h"

namespace utility {
namespace {

using testing::TypedFrameText;
using Message = ScriptedPrompter::Message;
using Frames = std::vector<std::string>;

const Message kComplete{"Send Complete!", ""};
const Message kNoEnd{"Script does not include the word END!", ""};
const Message kOpenFailed{"Error: Fail to open the file", "Error"};

std::string TempFile(const std::string& name, const std::string& content) {
  const std::string path = (std::filesystem::path(::testing::TempDir()) / name).string();
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

struct ScriptRunnerTest : ::testing::Test {
  ScriptRunnerTest() { reader.controller.SetScriptHandler(&runner); }

  void Press(ControlId button) { ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(button))); }
  void Start(const std::string& script) {
    reader.controls.SetText(ControlId::CommandBox, script);
    Press(ControlId::RunScript);
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) reader.controller.DispatchTimerTick();
  }
  std::string Box() const { return reader.controls.Stored(ControlId::CommandBox); }
  std::string Label() const { return reader.controls.Stored(ControlId::RunScript); }
  Frames Sent(std::initializer_list<std::string> commands) {
    Frames frames;
    for (const std::string& c : commands) frames.push_back(TypedFrameText(c));
    return frames;
  }

  testing::ReaderSession reader;
  ScriptRunner runner{reader.controller.Context()};
};

TEST_F(ScriptRunnerTest, ScriptWithCommentsAndAPauseRunsToCompletion) {
  Start("R1\r\n;; note\r\n\r\n indented\r\nxY\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  EXPECT_EQ(Label(), "Stop");
  Tick();
  EXPECT_EQ(Box(), "Current command: R1\r\n\r\n;; note\r\n\r\n indented\r\nxY\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  Tick();  // the comment, blank and space-led lines go with the next command
  EXPECT_EQ(Box(), "Current command: xY\r\n\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  EXPECT_EQ(Label(), "Resume");
  EXPECT_EQ(reader.controls.focus, ControlId::ResponseBox);
  Tick(3);  // paused: nothing goes out
  EXPECT_EQ(reader.TakeSentFrames(), Sent({"R1", "xY"}));

  Press(ControlId::RunScript);
  EXPECT_EQ(Label(), "Stop");
  Tick(2);
  EXPECT_TRUE(reader.prompter.messages.empty());
  Tick(3);
  EXPECT_EQ(Box(), "END\r\nnever\r\n");
  EXPECT_EQ(Label(), "Run Script");
  EXPECT_EQ(reader.prompter.messages, std::vector<Message>{kComplete});
  // A single semicolon makes no comment; tabs are removed when sent.
  EXPECT_EQ(reader.TakeSentFrames(), Sent({";x", "T2"}));
  EXPECT_EQ(reader.session.HistoryText, "T2\r\n;x\r\nxY\r\nR1\r\n");
}

struct ScriptCase {
  const char* name;
  std::string script;
  std::vector<std::string> sent;
  std::vector<Message> messages;
};

struct ScriptCaseTest : ScriptRunnerTest, ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptCaseTest, SendsExactlyTheseCommands) {
  const ScriptCase& c = GetParam();
  Start(c.script);
  Tick(6);
  Frames frames;
  for (const std::string& command : c.sent) frames.push_back(TypedFrameText(command));
  EXPECT_EQ(reader.TakeSentFrames(), frames);
  EXPECT_EQ(reader.prompter.messages, c.messages);
  EXPECT_EQ(Label(), "Run Script");
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptCaseTest,
    ::testing::Values(
        ScriptCase{"EmptyBox", "", {}, {}},
        ScriptCase{"EndInSmallLetters", "R1\r\nend\r\n", {}, {kNoEnd}},
        ScriptCase{"EndWithMoreLetters", "R1\r\nENDING\r\nR2\r\nEND\r\n", {"R1"}, {kComplete}},
        ScriptCase{"ThreeCharactersEndingInY", "xYz\r\nR1\r\nEND", {"xYz", "R1"}, {kComplete}},
        ScriptCase{"LineFeedOnly", "R1\nR2\n;; c\nEND\n", {"R1", "R2"}, {kComplete}},
        // A CR alone ends its line; the next line keeps its first letter.
        ScriptCase{"CarriageReturnOnly", "R1\rR2\rEND\r", {"R1", "R2"}, {kComplete}},
        // END inside the last line, which has no line end: it goes once.
        ScriptCase{"LastLineWithoutLineEnd", "R1\r\nR2 END", {"R1", "R2 END"}, {}},
        // END inside a skipped last line: the skipped line is never sent.
        ScriptCase{"SkippedLastLine", "R1\r\n;; END", {"R1"}, {}},
        ScriptCase{"EndInsideACommand", "R1 END\r\nR2\r\n", {"R1 END"}, {kNoEnd}},
        // A line of tabs only is refused by the send; the run goes on.
        ScriptCase{"RefusedCommand", "\t\r\nR1\r\nEND\r\n", {"R1"},
                   {{"Please Input the Command String!", "Error"}, kComplete}}),
    [](const auto& info) { return std::string(info.param.name); });

// A restart passes over the progress line only when the first line is that
// line whole; a first line that goes on after it is a command, sent whole.
TEST_F(ScriptRunnerTest, RestartAfterStopPassesOverOnlyTheWholeProgressLine) {
  struct Case {
    const char* name;
    std::string appended;  // to the progress line, after the Stop
    Frames sent;
  };
  const Case cases[] = {
      {"the progress line as it stands", "", Sent({"A1", "A2"})},
      {"a first line that goes on", "9", Sent({"A1", "Current command: A19", "A2"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start("A1\r\nA2\r\nEND\r\n");
    Tick();
    Press(ControlId::RunScript);
    EXPECT_EQ(Label(), "Run Script");
    Tick(2);  // stopped at once
    reader.controls.SetText(ControlId::CommandBox, "Current command: A1" + c.appended + "\r\n\r\nA2\r\nEND\r\n");
    Press(ControlId::RunScript);
    Tick(4);
    EXPECT_EQ(reader.TakeSentFrames(), c.sent);
  }
}

TEST_F(ScriptRunnerTest, NewTextStartedWhilePausedLosesNoLine) {
  Start("xY\r\nEND\r\n");
  Tick();
  ASSERT_EQ(reader.session.runState.ScriptPaused, 1);
  Start("B1\r\nB2\r\nEND");
  Tick(3);
  EXPECT_EQ(reader.TakeSentFrames(), Sent({"xY", "B1", "B2"}));
}

TEST_F(ScriptRunnerTest, SendFileWhileRunningLoadsTheFileAndStops) {
  Start("A1\r\nA2\r\nEND\r\n");
  Tick();
  reader.prompter.fileAnswers.push_back(TempFile("next.txt", "B1\r\nEND\r\n"));
  Press(ControlId::SendFile);
  EXPECT_EQ(Box(), "B1\r\nEND\r\n");
  EXPECT_EQ(Label(), "Run Script");
  EXPECT_EQ(reader.prompter.fileRequests.at(0).filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
  Tick(2);
  Press(ControlId::RunScript);  // the new file runs from its first line
  Tick(2);
  EXPECT_EQ(reader.TakeSentFrames(), Sent({"A1", "B1"}));
}

TEST_F(ScriptRunnerTest, CancelledSendFileSendsNothing) {
  reader.controls.SetText(ControlId::CommandBox, "A1\r\nEND\r\n");
  Press(ControlId::SendFile);  // no file answer: cancelled
  Tick(2);
  EXPECT_TRUE(reader.TakeSentFrames().empty());
  EXPECT_EQ(reader.session.runState.ScriptRunning, 0);
  EXPECT_EQ(reader.prompter.messages, std::vector<Message>{kOpenFailed});
}

TEST(ScriptRunnerUnplugTest, ALineThatReachedNoReaderStopsTheRunThere) {
  testing::ReaderSession reader(testing::ReaderSession::Devices{
      R"({"devices": [{"preset": "reader", "unplug_after_ms": 3000}]})"});
  ScriptRunner runner{reader.controller.Context()};
  reader.controller.SetScriptHandler(&runner);
  reader.controls.SetText(ControlId::CommandBox, "A1\r\n\tA2\r\nA3\r\nEND\r\n");
  reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript));
  reader.controller.DispatchTimerTick();
  reader.clock->AdvanceMs(5000);  // the reader is unplugged
  for (int i = 0; i < 3; ++i) reader.controller.DispatchTimerTick();

  EXPECT_EQ(reader.TakeSentFrames(), Frames{TypedFrameText("A1")});
  EXPECT_EQ(reader.prompter.messages,
            (std::vector<Message>{{StoppedAtLineMessage("A2", "it reached no reader"), "Error"}}));
  EXPECT_EQ(reader.session.HistoryText, "A1\r\n");
  EXPECT_EQ(reader.controls.Stored(ControlId::RunScript), "Run Script");
  // Run Script goes on with the line that was kept back, as the script has it.
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "\tA2\r\nA3\r\nEND\r\n");
}

TEST(ScriptRunnerUnplugTest, ALineSentButNotAnsweredStopsTheRunAfterIt) {
  // Unplugged while the reader's answer to A2 is being read.
  testing::ReaderSession reader(testing::ReaderSession::Devices{
      R"({"devices": [{"preset": "reader", "unplug_after_ms": 2300}]})"});
  ScriptRunner runner{reader.controller.Context()};
  reader.controller.SetScriptHandler(&runner);
  reader.controls.SetText(ControlId::CommandBox, "A1\r\nA2\r\nA3\r\nEND\r\n");
  reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript));
  for (int i = 0; i < 3; ++i) reader.controller.DispatchTimerTick();
  EXPECT_EQ(reader.TakeSentFrames(), (Frames{TypedFrameText("A1"), TypedFrameText("A2")}));
  EXPECT_EQ(reader.prompter.messages,
            (std::vector<Message>{{StoppedAfterLineMessage("A2", kUnansweredReason), "Error"}}));
  EXPECT_EQ(reader.session.HistoryText, "A2\r\nA1\r\n");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "A3\r\nEND\r\n");

  // Run Script goes on after it: A2 is never sent twice.
  reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript));
  reader.controller.DispatchTimerTick();
  EXPECT_TRUE(reader.TakeSentFrames().empty());
  EXPECT_EQ(reader.prompter.messages.back().text, StoppedAtLineMessage("A3", kNoReaderReason));
}

TEST_F(ScriptRunnerTest, FilesCutAtNulOrRefused) {
  // Not "nul.txt": Windows takes NUL with any extension as its null device.
  reader.prompter.fileAnswers = {TempFile("cut-at-nul.txt", std::string("N1\0\r\nEND\r\n", 10)), std::nullopt,
                                 ::testing::TempDir() /* a folder */};
  const std::string huge = TempFile("huge.txt", "");
  std::filesystem::resize_file(huge, kMaxScriptFileBytes + 1);  // sparse
  reader.prompter.fileAnswers.push_back(huge);
  runner.LoadScriptFile();
  EXPECT_EQ(Box(), "N1");
  for (int i = 0; i < 3; ++i) runner.LoadScriptFile();
  EXPECT_EQ(Box(), "N1");
  std::filesystem::remove(huge);
  Press(ControlId::RunScript);
  Tick(2);
  EXPECT_TRUE(reader.TakeSentFrames().empty());
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{kOpenFailed, kOpenFailed,
                                                            {kScriptTooLargeMessage, "Error"}, kNoEnd}));
}

TEST_F(ScriptRunnerTest, NoStepRunsUnderTheRunnersMessageBoxes) {
  int stepsUnderBox = 0;
  reader.prompter.whileMessageOpen = [&] {  // ticks go on under a modal box
    stepsUnderBox += reader.session.runState.ScriptRunning;
    Tick(2);
  };
  Start("R1\r\nEND\r\n");
  Tick(2);
  Start("R1\r\n");
  Tick();
  EXPECT_EQ(stepsUnderBox, 0);
  EXPECT_EQ(reader.TakeSentFrames(), Sent({"R1"}));
}

}  // namespace
}  // namespace utility
