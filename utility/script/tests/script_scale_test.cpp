// A 10 MB script: it loads, runs to its end, and each step costs what its
// own lines cost, not what the rest of the script costs.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "reader_session.h"
#include "utility/control_ids.h"
#include "utility/script_runner.h"

namespace utility {
namespace {

using testing::ReaderSession;
using testing::TypedFrameText;

constexpr size_t kTenMegabytes = 10u * 1024 * 1024;

// Short command lines up to `bytes`, then END.
std::string ManyLines(size_t bytes) {
  std::string script;
  script.reserve(bytes + 16);
  while (script.size() < bytes) script += "C12345\r\n";
  return script + "END\r\n";
}

struct StepCost {
  size_t maxBytes = 0;  // most bytes one step moved through the controls
  double seconds = 0;
};

// Starts a run on `script` and runs `steps` steps without sending.
StepCost MeasureSteps(const std::string& script, int steps) {
  ReaderSession reader("none");
  ScriptRunner runner(reader.controller.Context());
  reader.controls.SetText(ControlId::CommandBox, script);
  runner.ToggleScriptRun();
  StepCost cost;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < steps; ++i) {
    const size_t before = reader.controls.bytesMoved;
    runner.RunScriptStep();
    cost.maxBytes = std::max(cost.maxBytes, reader.controls.bytesMoved - before);
  }
  cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(reader.session.runState.ScriptRunning);
  return cost;
}

TEST(ScriptScale, StepCostDoesNotGrowWithTheScript) {
  constexpr int kSteps = 20000;
  const StepCost small = MeasureSteps(ManyLines(64 * 1024), 2000);
  const StepCost large = MeasureSteps(ManyLines(kTenMegabytes), kSteps);
  // A step moves its progress line and the line it consumed, both a few
  // dozen bytes, whether the script holds 64 KB or 10 MB.
  EXPECT_LE(small.maxBytes, 96u);
  EXPECT_LE(large.maxBytes, 96u);
  // Work linear in the script would take minutes here (20000 x 10 MB), even
  // unsanitised; constant work takes milliseconds.
  EXPECT_LT(large.seconds, 10.0);
  RecordProperty("seconds_for_20000_steps_of_10MB", std::to_string(large.seconds));
}

TEST(ScriptScale, TenMegabyteFileLoadsAndRunsToItsEnd) {
  // Ten commands between ten comment lines of about a megabyte each.
  std::string script;
  for (int i = 0; i < 10; ++i) {
    script += ";; " + std::string(kTenMegabytes / 10, 'x') + "\r\n";
    script += "L" + std::to_string(i) + "\r\n";
  }
  script += "END\r\n";
  const std::string path =
      (std::filesystem::path(::testing::TempDir()) / "ten-megabytes.txt").string();
  std::ofstream(path, std::ios::binary) << script;

  ReaderSession reader;
  ScriptRunner runner(reader.controller.Context());
  reader.controller.SetScriptHandler(&runner);
  reader.prompter.fileAnswers.push_back(path);
  runner.SendScriptFile();
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox).size(), script.size());

  int ticks = 0;
  while (reader.session.runState.ScriptRunning && ticks < 100) {
    reader.controller.DispatchTimerTick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 11);
  std::vector<std::string> expected;
  for (int i = 0; i < 10; ++i) expected.push_back(TypedFrameText("L" + std::to_string(i)));
  EXPECT_EQ(reader.TakeSentFrames(), expected);
  EXPECT_EQ(reader.prompter.messages,
            (std::vector<ScriptedPrompter::Message>{{"Send Complete!", ""}}));
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "END\r\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace utility
