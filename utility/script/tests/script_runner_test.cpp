// The script runner driven tick by tick against the simulated reader, in
// virtual time: what reaches the reader, what the command box and the Run
// Script button show, and the runner's message boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "reader_session.h"
#include "utility/control_ids.h"
#include "utility/script_file.h"
#include "utility/script_runner.h"

namespace utility {
namespace {

using testing::ReaderSession;
using testing::TypedFrameText;
using Message = ScriptedPrompter::Message;

class ScriptRunnerTest : public ::testing::Test {
 protected:
  ScriptRunnerTest() { reader.controller.SetScriptHandler(&runner); }

  void Start(const std::string& script) {
    reader.controls.SetText(ControlId::CommandBox, script);
    ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) reader.controller.DispatchTimerTick();
  }
  std::string CommandBox() const { return reader.controls.Stored(ControlId::CommandBox); }
  std::string Label() const { return reader.controls.Stored(ControlId::RunScript); }
  bool Running() const { return reader.session.runState.ScriptRunning != 0; }
  std::vector<std::string> Frames(std::initializer_list<const char*> commands) {
    std::vector<std::string> frames;
    for (const char* c : commands) frames.push_back(TypedFrameText(c));
    return frames;
  }
  std::string WriteFile(const std::string& name, const std::string& content) {
    const std::string path = (std::filesystem::path(::testing::TempDir()) / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  ReaderSession reader;
  ScriptRunner runner{reader.controller.Context()};
};

TEST_F(ScriptRunnerTest, RunsAScriptWithCommentsAndAPauseToCompletion) {
  Start("R1\r\n;; a comment\r\n\r\n not a command\r\nxY\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  EXPECT_EQ(Label(), "Stop");
  EXPECT_TRUE(reader.TakeSentFrames().empty());  // nothing before the first tick

  Tick();
  EXPECT_EQ(CommandBox(), "Current command: R1\r\n\r\n;; a comment\r\n\r\n not a command\r\n"
                          "xY\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  // The comment, the blank line and the space-led line go in one step.
  Tick();
  EXPECT_EQ(CommandBox(), "Current command: xY\r\n\r\n;x\r\n\tT2\r\nEND\r\nnever\r\n");
  EXPECT_FALSE(Running());
  EXPECT_EQ(Label(), "Resume");
  EXPECT_EQ(reader.controls.focus, ControlId::ResponseBox);
  EXPECT_EQ(reader.controls.Stored(ControlId::ResponseBox), "");
  Tick(3);  // paused: nothing goes out
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"R1", "xY"}));

  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  EXPECT_EQ(Label(), "Stop");
  Tick();
  EXPECT_EQ(reader.session.runState.ScriptPaused, 0);
  EXPECT_EQ(CommandBox(), "Current command: ;x\r\n\r\n\tT2\r\nEND\r\nnever\r\n");
  Tick();
  EXPECT_TRUE(reader.prompter.messages.empty());
  Tick();
  EXPECT_EQ(CommandBox(), "END\r\nnever\r\n");
  EXPECT_EQ(Label(), "Run Script");
  EXPECT_FALSE(Running());
  EXPECT_EQ(reader.controls.focus, ControlId::ResponseBox);
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{{"Send Complete!", ""}}));
  Tick(2);
  // A single semicolon is no comment; tabs are removed when sent.
  EXPECT_EQ(reader.TakeSentFrames(), Frames({";x", "T2"}));
  EXPECT_EQ(reader.session.HistoryText, "T2\r\n;x\r\nxY\r\nR1\r\n");
}

struct ScriptCase {
  const char* name;
  std::string script;
  int ticks;
  std::vector<std::string> sent;
  std::vector<Message> messages;
};

class ScriptCaseTest : public ScriptRunnerTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptCaseTest, SendsExactlyTheseCommands) {
  const ScriptCase& c = GetParam();
  Start(c.script);
  Tick(c.ticks);
  std::vector<std::string> frames;
  for (const std::string& command : c.sent) frames.push_back(TypedFrameText(command));
  EXPECT_EQ(reader.TakeSentFrames(), frames);
  EXPECT_EQ(reader.prompter.messages, c.messages);
  EXPECT_FALSE(Running());
  EXPECT_EQ(Label(), "Run Script");
}

const Message kComplete{"Send Complete!", ""};
const Message kNoEnd{"Script does not include the word END!", ""};

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptCaseTest,
    ::testing::Values(
        ScriptCase{"EmptyBox", "", 1, {}, {}},
        ScriptCase{"EndInSmallLetters", "R1\r\nend\r\n", 3, {}, {kNoEnd}},
        ScriptCase{"OneCommandThenEnd", "R1\r\nEND", 5, {"R1"}, {kComplete}},
        ScriptCase{"EndWithMoreLetters", "R1\r\nENDING\r\nR2\r\nEND\r\n", 5, {"R1"}, {kComplete}},
        ScriptCase{"ThreeCharactersEndingInYDoNotPause", "xYz\r\nR1\r\nEND", 5, {"xYz", "R1"}, {kComplete}},
        ScriptCase{"LineFeedOnly", "R1\nR2\n;; c\nEND\n", 5, {"R1", "R2"}, {kComplete}},
        // A CR alone ends its line; the next line keeps its first letter.
        ScriptCase{"CarriageReturnOnly", "R1\rR2\rEND\r", 5, {"R1", "R2"}, {kComplete}},
        // END inside the last line: that line goes once, then the run stops.
        ScriptCase{"LastLineWithoutLineEnd", "R1\r\nR2 END", 6, {"R1", "R2 END"}, {}},
        // END inside a skipped last line: the skipped line is never sent.
        ScriptCase{"SkippedLastLine", "R1\r\n;; END", 6, {"R1"}, {}},
        ScriptCase{"SpaceLedLastLine", "R1\r\n END\r\n", 6, {"R1"}, {}},
        // END inside a command: the command goes, then the text lacks END.
        ScriptCase{"EndInsideACommand", "R1 END\r\nR2\r\n", 6, {"R1 END"}, {kNoEnd}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptRunnerTest, RestartAfterStopGoesOnAfterTheProgressLine) {
  Start("A1\r\nA2\r\nA3\r\nEND\r\n");
  Tick();
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  EXPECT_EQ(Label(), "Run Script");
  Tick(2);  // stopped at once
  EXPECT_EQ(CommandBox(), "Current command: A1\r\n\r\nA2\r\nA3\r\nEND\r\n");
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  Tick(4);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"A1", "A2", "A3"}));
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{kComplete}));
}

TEST_F(ScriptRunnerTest, EditedTextAfterStopRunsAsANewScript) {
  Start("A1\r\nA2\r\nEND\r\n");
  Tick();
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  Start("B1\r\nEND\r\n");
  Tick(2);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"A1", "B1"}));
}

TEST_F(ScriptRunnerTest, NewTextStartedWhilePausedLosesNoLine) {
  Start("xY\r\nEND\r\n");
  Tick();
  ASSERT_EQ(Label(), "Resume");
  ASSERT_EQ(reader.session.runState.ScriptPaused, 1);
  Start("B1\r\nB2\r\nEND");
  Tick(3);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"xY", "B1", "B2"}));
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{kComplete}));
}

TEST_F(ScriptRunnerTest, ResumedRunStoppedBeforeItsFirstStepStillShowsResume) {
  Start("xY\r\nR1\r\nEND\r\n");
  Tick();
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  EXPECT_EQ(Label(), "Resume");
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  Tick(2);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"xY", "R1"}));
}

TEST_F(ScriptRunnerTest, SendFileWhileRunningLoadsTheFileAndStops) {
  Start("A1\r\nA2\r\nA3\r\nEND\r\n");
  Tick();
  reader.prompter.fileAnswers.push_back(WriteFile("next.txt", "B1\r\nEND\r\n"));
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::SendFile)));
  EXPECT_EQ(CommandBox(), "B1\r\nEND\r\n");
  EXPECT_EQ(Label(), "Run Script");
  EXPECT_FALSE(Running());
  ASSERT_EQ(reader.prompter.fileRequests.size(), 1u);
  EXPECT_EQ(reader.prompter.fileRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
  EXPECT_EQ(reader.prompter.fileRequests[0].defaultExtension, ".txt");
  Tick(2);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"A1"}));

  // The new file runs from its first line once Run Script is pressed.
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  Tick(2);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"B1"}));
}

TEST_F(ScriptRunnerTest, SendFileStartsARunOnTheLoadedFile) {
  reader.prompter.fileAnswers.push_back(WriteFile("run.txt", "F1\nF2\nEND\n"));
  runner.SendScriptFile();
  EXPECT_EQ(Label(), "Stop");
  Tick(3);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"F1", "F2"}));
}

TEST_F(ScriptRunnerTest, FileCutAtItsFirstNulByte) {
  reader.prompter.fileAnswers.push_back(WriteFile("nul.txt", std::string("N1\r\nEND\r\n\0N2\r\n", 14)));
  reader.prompter.fileAnswers.push_back(WriteFile("nul2.txt", std::string("N1\0\r\nEND\r\n", 10)));
  runner.LoadScriptFile();
  EXPECT_EQ(CommandBox(), "N1\r\nEND\r\n");
  runner.LoadScriptFile();
  EXPECT_EQ(CommandBox(), "N1");
  ASSERT_TRUE(reader.controller.RouteCommand(static_cast<int>(ControlId::RunScript)));
  Tick(2);
  EXPECT_TRUE(reader.TakeSentFrames().empty());
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{kNoEnd}));
}

TEST_F(ScriptRunnerTest, FileThatCannotBeReadLeavesTheBoxAndStillToggles) {
  const Message failed{"Error: Fail to open the file", "Error"};
  reader.controls.SetText(ControlId::CommandBox, "K1\r\nEND");
  reader.prompter.fileAnswers.push_back(std::nullopt);  // dialog cancelled
  reader.prompter.fileAnswers.push_back(
      (std::filesystem::path(::testing::TempDir()) / "no-such-script.txt").string());
  reader.prompter.fileAnswers.push_back(::testing::TempDir());  // a folder
  runner.LoadScriptFile();
  runner.LoadScriptFile();
  runner.LoadScriptFile();
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{failed, failed, failed}));
  EXPECT_EQ(CommandBox(), "K1\r\nEND");

  // Send File after a cancelled dialog starts the run on the box as it was.
  runner.SendScriptFile();
  EXPECT_EQ(Label(), "Stop");
  Tick();
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"K1"}));
}

TEST_F(ScriptRunnerTest, FileAboveTheLimitIsRefused) {
  const std::string path = WriteFile("huge.txt", "");
  std::filesystem::resize_file(path, kMaxScriptFileBytes + 1);  // sparse, costs no disk
  reader.prompter.fileAnswers.push_back(path);
  reader.controls.SetText(ControlId::CommandBox, "kept");
  runner.LoadScriptFile();
  EXPECT_EQ(CommandBox(), "kept");
  EXPECT_EQ(reader.prompter.messages,
            (std::vector<Message>{{kScriptTooLargeMessage, "Error"}}));
  std::filesystem::remove(path);
}

TEST_F(ScriptRunnerTest, MessageBoxesOfTheRunnerOpenWithTheRunStopped) {
  // Ticks keep coming while a message box is open; none may run a step.
  int stepsUnderBox = 0;
  reader.prompter.whileMessageOpen = [&] {
    if (Running()) ++stepsUnderBox;
    Tick(3);
  };
  Start("R1\r\nEND\r\n");
  Tick(2);
  Start("R1\r\n");
  Tick();
  EXPECT_EQ(stepsUnderBox, 0);
  EXPECT_EQ(reader.TakeSentFrames(), Frames({"R1"}));
  EXPECT_EQ(reader.prompter.messages, (std::vector<Message>{kComplete, kNoEnd}));
}

}  // namespace
}  // namespace utility
