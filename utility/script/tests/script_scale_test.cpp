// A 10 MB script loads, runs to its end, and each step costs what its own
// lines cost, not what the rest of the script costs.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "reader_session.h"
#include "utility/control_ids.h"
#include "utility/script_runner.h"

namespace utility {
namespace {

constexpr size_t kTenMegabytes = 10u * 1024 * 1024;

// The most bytes one of `steps` steps moves through the controls, and the
// time they take, for a script of short lines `bytes` long.
std::pair<size_t, double> StepCost(size_t bytes, int steps) {
  testing::ReaderSession reader("none");
  ScriptRunner runner(reader.controller.Context());
  std::string script;
  while (script.size() < bytes) script += "C12345\r\n";
  reader.controls.SetText(ControlId::CommandBox, script + "END\r\n");
  runner.ToggleScriptRun();
  size_t most = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < steps; ++i) {
    const size_t before = reader.controls.bytesMoved;
    runner.RunScriptStep();
    most = std::max(most, reader.controls.bytesMoved - before);
  }
  EXPECT_TRUE(reader.session.runState.ScriptRunning);
  return {most, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

TEST(ScriptScale, StepCostDoesNotGrowWithTheScript) {
  const auto [smallBytes, smallSeconds] = StepCost(64 * 1024, 2000);
  const auto [largeBytes, largeSeconds] = StepCost(kTenMegabytes, 20000);
  EXPECT_EQ(largeBytes, smallBytes);  // the progress line and one line consumed
  EXPECT_LE(largeBytes, 64u);
  // Work linear in the script would take minutes (20000 x 10 MB).
  EXPECT_LT(largeSeconds, 10.0);
  RecordProperty("seconds_for_20000_steps", std::to_string(largeSeconds));
}

TEST(ScriptScale, TenMegabyteFileLoadsAndRunsToItsEnd) {
  // Ten commands, each after a comment line of a megabyte.
  std::string script;
  for (int i = 0; i < 10; ++i) script += ";; " + std::string(kTenMegabytes / 10, 'x') + "\r\nL" + std::to_string(i) + "\r\n";
  const std::string path = (std::filesystem::path(::testing::TempDir()) / "ten-mb.txt").string();
  std::ofstream(path, std::ios::binary) << script << "END\r\n";

  testing::ReaderSession reader;
  ScriptRunner runner(reader.controller.Context());
  reader.controller.SetScriptHandler(&runner);
  reader.prompter.fileAnswers.push_back(path);
  runner.SendScriptFile();
  int ticks = 0;
  for (; reader.session.runState.ScriptRunning && ticks < 100; ++ticks) reader.controller.DispatchTimerTick();
  EXPECT_EQ(ticks, 11);
  std::vector<std::string> expected;
  for (int i = 0; i < 10; ++i) expected.push_back(testing::TypedFrameText("L" + std::to_string(i)));
  EXPECT_EQ(reader.TakeSentFrames(), expected);
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "END\r\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace utility
