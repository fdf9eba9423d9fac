// pelorin-cli against simulated readers in virtual time: one row per command
// family and per exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "hidhost/sim.h"
#include "pelorin_cli.h"

namespace pelorincli {
namespace {

struct Case {
  const char* name;
  const char* devices;  // a preset name, or JSON device text when it starts with '{'
  std::vector<std::string> args;
  int exitCode;
  const char* out;      // must appear in stdout
  const char* err;      // must appear in stderr ("" : stderr stays empty)
  bool terminal = false;
  const char* typed = "";  // what the operator types on the terminal
};

// Each line of a script file; "@script" in the arguments stands for its path.
constexpr const char* kScript = "K0\r\n;; a comment\r\n\r\nxY\r\nEND\r\nnot sent\r\n";

// "@long" stands for a script whose second line is too long to send.
const std::string kLongScript = "K0\r\n" + std::string(125, 'x') + "\r\nK0\r\nEND\r\n";

std::string WriteScript(const char* name, const std::string& text) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("pelorin_cli_test_" + std::string(name) + "_" +
                     std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt");
  std::ofstream(file, std::ios::binary) << text;
  return file.string();
}

class PelorinCliTest : public ::testing::TestWithParam<Case> {};

TEST_P(PelorinCliTest, ExitStatusAndOutput) {
  const Case& c = GetParam();
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  const std::string devices = c.devices;
  hidhost::InstallHost(devices.starts_with("{")
                           ? hidhost::sim::SimulatedHost::CreateFromJson(devices, "test", clock)
                           : hidhost::sim::SimulatedHost::Create(devices, clock));
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg == "@script") arg = WriteScript("script", kScript);
    if (arg == "@long") arg = WriteScript("long", kLongScript);
  }
  std::ostringstream out, err;
  std::istringstream in(c.typed);
  Console console{out, err, in, c.terminal, c.terminal};

  EXPECT_EQ(pelorincli::Run(args, console), c.exitCode) << err.str();
  EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
  if (c.err[0] == '\0') {
    EXPECT_EQ(err.str(), "");
  } else {
    EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
  }
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
}

const Case kCases[] = {
    {"StatusNamesBothGenerations", "both-readers", {"--json", "status"}, 0,
     R"j("generation":"older (Revision <= H)","path":"sim:hid#vid_1C5E&pid_0200&mi_00")j", ""},
    {"ReviewGivesTheValueInWords", R"j({"devices":[{"preset":"reader","language":"7"}]})j",
     {"language"}, 0, "Current language setting is French", ""},
    {"WriteNeedsYesWithoutTerminal", "reader", {"set", "turbo", "on"}, 2, "", "add --yes"},
    {"WriteAskedOnTerminal", "reader", {"set", "polling", "10"}, 0, "02 53 14 01 0A 03 4D",
     "Maximum setting limit is 254 times only!", true, "y\n"},
    {"PollingRangeAsPelorin", "reader", {"--yes", "set", "polling", "0"}, 2, "",
     "The minimum value of Polling Interval setting is 1"},
    {"SendHexShowsTheHistoryRecord", "reader", {"send-hex", "52 14"}, 0,
     "Command:  02 52 14 03 47 \nResponse:  02 06 08 03 0F \n", ""},
    {"RefusedCommandIsExitOne", "reader", {"send-hex", "99"}, 1, "02 15 03 14",
     "refused the command"},
    {"TypedAnswerOnKeyboardIsNamed", "reader", {"--json", "send", "xY"}, 0,
     R"j("keyboard_answer":true)j", "keyboard input"},
    {"ScriptRunsToEnd", "reader", {"run", "@script"}, 0, "line 1: K0\nline 4: xY\nSend Complete!\n",
     "line 4: the reader types its answer"},
    {"ScriptShowsProgressOnTerminal", "reader", {"run", "@script"}, 0, "Send Complete!",
     "line 4 of 4", true},
    // The reader goes away after the first line has been sent.
    {"ScriptStopsAtLineReachingNoReader",
     R"j({"devices":[{"preset":"reader","unplug_after_ms":2000}]})j", {"run", "@script"}, 1,
     "line 1: K0\n", "line 4 (xY) reached no reader"},
    // Pelorin stops at a line it cannot send; so does the tool.
    {"ScriptStopsAtLineTooLongToSend", "reader", {"run", "@long"}, 2, "line 1: K0\n",
     "line 2: The command text is too long! A command can hold at most 124 characters. The run "
     "stopped there"},
    {"PathPicksOneInterface", "reader",
     {"--path", "sim:hid#vid_1C5E&pid_2420&mi_00", "polling"}, 1, "", "did not answer"},
    {"NoReaderIsExitThree", "none", {"version"}, 3, "", "no reader found"},
    {"AccessDeniedAdviceReachesSshUsers", R"j({"devices":[{"preset":"reader","openable":false}]})j",
     {"version"}, 3, "", "run as root (sudo, or Ansible's become) or as a member of the group plugdev"},
    {"UnknownCommandIsUsage", "reader", {"--json", "frob"}, 2, R"j("exit_code":2)j",
     "unknown command 'frob'"},
    {"HelpGoesToStdout", "none", {"run", "--help"}, 0, "Usage: pelorin-cli [options] run FILE", ""},
};

INSTANTIATE_TEST_SUITE_P(Commands, PelorinCliTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelorincli
