// pelorin-cli against simulated readers in virtual time: one row per command
// family and per exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "hidhost/interrupt.h"
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
    // The reader goes away after the first line's exchange, before the next.
    {"ScriptStopsAtLineReachingNoReader",
     R"j({"devices":[{"preset":"reader","unplug_after_ms":1550}]})j", {"run", "@script"}, 1,
     "line 1: K0\n", "line 4 (xY) reached no reader"},
    // The reader goes away while the answer to the first line is read.
    {"ScriptStopsAfterLineSentButNotAnswered",
     R"j({"devices":[{"preset":"reader","unplug_after_ms":1000}]})j", {"run", "@script"}, 1,
     "line 1: K0\n", "line 1 (K0) was sent, but the reader did not answer: the run stopped after it"},
    // Pelorin stops at a line it cannot send; so does the tool.
    {"ScriptStopsAtLineTooLongToSend", "reader", {"run", "@long"}, 2, "line 1: K0\n",
     "line 2: The command text is too long! A command can hold at most 124 characters. The run "
     "stopped there"},
    {"PathPicksOneInterface", "reader",
     {"--path", "sim:hid#vid_1C5E&pid_2420&mi_01", "polling"}, 0, "HID KB polling setting is 8", ""},
    {"NoReaderIsExitThree", "none", {"version"}, 3, "", "no reader found"},
    {"AccessDeniedAdviceReachesSshUsers", R"j({"devices":[{"preset":"reader","openable":false}]})j",
     {"version"}, 3, "", "run as root (sudo, or Ansible's become) or as a member of the group plugdev"},
    {"UnknownCommandIsUsage", "reader", {"--json", "frob"}, 2, R"j("exit_code":2)j",
     "unknown command 'frob'"},
    {"HelpGoesToStdout", "none", {"run", "--help"}, 0, "Usage: pelorin-cli [options] run FILE", ""},
    // A command is refused before anything is sent when it cannot go out as
    // written: text beyond Latin-1, or malformed hexadecimal.
    {"TextBeyondLatin1IsRefused", "reader", {"send", "\xE6\x97\xA5\xE6\x9C\xAC"}, 2, "",
     "can hold only Latin-1 characters"},
    {"HexWithPrefixIsRefused", "reader", {"send-hex", "0x52 0x24"}, 2, "",
     "has 'x' at character 2"},
    {"HexWithHalfAByteIsRefused", "reader", {"send-hex", "52 5"}, 2, "",
     "has \"5\" at character 4, an odd number of digits"},
    // What a user of command-line tools looks for.
    {"Version", "none", {"--version"}, 0, "pelorin-cli ", ""},
    {"SetTakesTheWordReviewsPrint", "reader", {"--yes", "set", "turbo", "On"}, 0,
     "02 53 12 01 01 03 40", ""},
    {"JsonNumbersAreNumbers", "reader", {"--json", "polling"}, 0, R"j("value":8)j", ""},
    {"DecliningIsNotRefusal", "reader", {"set", "polling", "10"}, 4, "", "declined", true, "n\n"},
    {"ScriptFromStandardInput", "reader", {"run", "-"}, 0, "line 1: K0\nSend Complete!\n", "",
     false, "K0\nEND\n"},
    {"ShowReadsFourSettings", "reader", {"show"}, 0,
     "version: KAVRO KB V2.15\nlanguage: English (US)\npolling: 8\nturbo: Off\n", ""},
    {"SerialPicksAReader", "both-readers", {"--json", "--serial", "KV0200-004711", "status"}, 0,
     R"j(mi_01","position":1,"product_id":"0x0200","serial":"KV0200-004711","takes_commands":false}]})j",
     ""},
    {"StatusNamesTheCommandInterface", "reader", {"status"}, 0,
     "mi_01, serial KV2420-001207: takes commands", ""},
    // The reader is gone between the scan and the open of its second
    // interface: said as a note, never on the standard output of the JSON.
    {"OpenFailureIsANote", R"({"devices": [{"preset": "reader", "unplug_after_ms": 30}]})",
     {"--json", "send-hex", "52 24"}, 1,
     R"j("notes":["the reader interface sim:hid#vid_1C5E&pid_2420&mi_01 could not be opened"])j",
     "pelorin-cli: the reader interface sim:hid#vid_1C5E&pid_2420&mi_01 could not be opened"},
    {"KeyboardInterfaceTakesNoCommands", "reader",
     {"--path", "sim:hid#vid_1C5E&pid_2420&mi_00", "polling"}, 2, "",
     "is the reader's keyboard interface, which takes no commands"},
};

INSTANTIATE_TEST_SUITE_P(Commands, PelorinCliTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A clock that presses Ctrl-C once its time reaches `atMs`, first calling
// `onPress` to see what the run had printed by then.
class CtrlCClock : public hidhost::sim::VirtualClock {
 public:
  CtrlCClock(uint64_t atMs, std::function<void()> onPress)
      : atMs_(atMs), onPress_(std::move(onPress)) {}
  void SleepMs(uint32_t ms) override {
    VirtualClock::SleepMs(ms);
    if (!pressed_ && NowMs() >= atMs_) {
      pressed_ = true;
      onPress_();
      hidhost::RaiseInterrupt();
    }
  }

 private:
  uint64_t atMs_;
  std::function<void()> onPress_;
  bool pressed_ = false;
};

// Ctrl-C during line 2's exchange (a line takes about 1.5 s): line 1 has
// been printed already, line 2 is finished and printed, line 3 is not sent.
TEST(PelorinCliRun, CtrlCEndsAfterTheCurrentExchange) {
  std::ostringstream out, err;
  std::istringstream in;
  std::string printedAtPress;
  auto clock = std::make_shared<CtrlCClock>(2200, [&] { printedAtPress = out.str(); });
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("reader", clock));
  Console console{out, err, in, false, false};

  const std::string script = WriteScript("ctrlc", "K0\r\nK1\r\nK2\r\nEND\r\n");
  EXPECT_EQ(pelorincli::Run({"run", script}, console), kExitInterrupted) << err.str();
  EXPECT_EQ(printedAtPress, "line 1: K0\n");
  EXPECT_EQ(out.str(), "line 1: K0\nline 2: K1\n");
  EXPECT_NE(err.str().find("interrupted: the run stopped after line 2"), std::string::npos)
      << err.str();
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
}

}  // namespace
}  // namespace pelorincli
