// pelorin-cli apply against simulated readers in virtual time: which writes
// reach the reader, and what each run reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "hidhost/sim.h"
#include "pelorin_cli.h"

namespace pelorincli {
namespace {

struct Case {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  const char* out;                   // must appear in stdout of the last run
  const char* err;                   // must appear in stderr of the last run ("" : empty)
  std::vector<std::string> writes;   // write commands the reader got, over all runs
  int runs = 1;                      // the same command run this many times on one reader
  int writesTaken = -1;              // >= 0: the reader's state file says so many writes taken
  const char* devices = "reader";
  bool terminal = false;
  const char* typed = "";
};

// The write commands ("53 24 01 37") in the order the reader got them.
std::vector<std::string> WritesIn(const std::vector<std::string>& transcript) {
  std::vector<std::string> writes;
  const std::string marker = "SET_FEATURE 00 02 53 ";
  for (const std::string& line : transcript) {
    const size_t at = line.find(marker);
    if (at != std::string::npos) writes.push_back(line.substr(at + marker.size() - 3, 11));
  }
  return writes;
}

// `state` names the reader's state file, which the caller removes.
std::shared_ptr<hidhost::sim::SimulatedHost> MakeHost(
    const Case& c, std::shared_ptr<hidhost::sim::VirtualClock> clock, std::filesystem::path* state) {
  if (c.writesTaken < 0) return hidhost::sim::SimulatedHost::Create(c.devices, clock);
  *state = std::filesystem::temp_directory_path() /
           ("apply_test_" + std::string(c.name) + "_" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".json");
  std::ofstream(*state) << R"({"writes":)" << c.writesTaken << "}";
  const nlohmann::json devices = {
      {"devices", {{{"preset", "reader"}, {"state_file", state->generic_string()}}}}};
  return hidhost::sim::SimulatedHost::CreateFromJson(devices.dump(), "test", clock);
}

class ApplyTest : public ::testing::TestWithParam<Case> {};

TEST_P(ApplyTest, WritesWhatDiffersAndReports) {
  const Case& c = GetParam();
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::filesystem::path state;
  const auto host = MakeHost(c, clock, &state);
  hidhost::InstallHost(host);
  std::ostringstream out, err;
  int code = -1;
  for (int run = 0; run < c.runs; ++run) {
    out.str("");
    err.str("");
    std::istringstream in(c.typed);
    Console console{out, err, in, c.terminal, c.terminal};
    code = pelorincli::Run(c.args, console);
  }
  EXPECT_EQ(code, c.exitCode) << err.str();
  EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
  if (c.err[0] == '\0') {
    EXPECT_EQ(err.str(), "");
  } else {
    EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
  }
  EXPECT_EQ(WritesIn(host->Transcript()), c.writes);
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
  if (!state.empty()) std::filesystem::remove(state);
}

const Case kCases[] = {
    {"WritesOnlyWhatDiffers", {"--yes", "apply", "language=French", "polling=8", "turbo=On"}, 0,
     "language: English (US) -> French\npolling: 8, as asked\nturbo: Off -> On\n", "",
     {"53 24 01 37", "53 12 01 01"}},
    {"SecondRunChangesNothing", {"--json", "--yes", "apply", "polling=4", "turbo=off"}, 0,
     R"j("changed":false,"command":"apply","exit_code":0,"settings":{"polling":{"after":4,"before":4},"turbo":{"after":"Off","before":"Off"}})j",
     "", {"53 14 01 04"}, 2},
    {"CheckWritesNothing", {"--json", "--check", "apply", "language=7", "polling=4"}, 0,
     R"j("changed":true,"command":"apply","exit_code":0,"settings":{"language":{"after":"French","before":"English (US)"},"polling":{"after":4,"before":8}})j",
     "", {}},
    // A value that set would refuse stops everything, also a write that
    // comes before it on the command line.
    {"ValueRefusedBeforeAnyWrite", {"--yes", "apply", "language=French", "polling=0"}, 2, "",
     "The minimum value of Polling Interval setting is 1", {}},
    {"OnlyTheThreeSettings", {"--yes", "apply", "version=1"}, 2, "",
     "give settings as language=NAME, polling=N or turbo=On|Off", {}},
    {"SettingGivenTwice", {"--yes", "apply", "turbo=on", "turbo=off"}, 2, "", "turbo is given twice",
     {}},
    {"CheckBelongsToApply", {"--check", "set", "turbo", "on"}, 2, "", "--check goes with apply only",
     {}},
    {"NoReader", {"--yes", "apply", "turbo=on"}, 3, "", "no reader found", {}, 1, -1, "none"},
    {"WriteNeedsYesWithoutTerminal", {"apply", "turbo=on"}, 2, "", "add --yes", {}},
    {"DeclinedOnTerminalAsSet", {"apply", "polling=8", "turbo=on"}, 4, "",
     "turbo: Off -> On\nMaximum setting limit is 254 times only!", {}, 1, -1, "reader", true, "n\n"},
    // The reader's 254th write is its last: the next is refused.
    {"RefusedWriteNamesWhatWasWritten", {"--yes", "apply", "language=French", "polling=4"}, 1,
     "language: English (US) -> French\n",
     "polling: the reader refused the write (NAK): it may have taken its 254 setting writes; "
     "written before the failure: language",
     {"53 24 01 37", "53 14 01 04"}, 1, 253},
};

INSTANTIATE_TEST_SUITE_P(Apply, ApplyTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelorincli
