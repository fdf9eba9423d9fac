// The command line: options, help, dispatch and how results are written.
#include "pelorin_cli.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "interface_filter.h"
#include "outcome.h"

namespace pelorincli {
namespace {

struct CommandSpec {
  const char* name;
  const char* usage;    // arguments after the name
  const char* summary;  // one line
  const char* details;  // the command's help, after the usage line
  size_t minArgs;
  size_t maxArgs;       // SIZE_MAX: the rest of the line
};

constexpr size_t kRest = SIZE_MAX;

constexpr CommandSpec kCommands[] = {
    {"status", "", "list the reader interfaces found",
     "Lists every HID interface of a supported reader: its generation, product ID, path,\n"
     "serial number, and whether it takes commands (the reader's keyboard interface does\n"
     "not). Exit 3 when there is none.\n",
     0, 0},
    {"show", "", "show the four settings",
     "Reads the firmware version, keyboard language, polling interval and turbo speed, one\n"
     "after the other (about 6 seconds), and shows each in words.\n",
     0, 0},
    {"version", "", "show the reader's firmware version",
     "Sends 02 52 22 03 71 and shows the answer and the firmware version.\n", 0, 0},
    {"language", "", "show the keyboard language",
     "Sends 52 24 and shows the answer and the language in words.\n", 0, 0},
    {"polling", "", "show the HID keyboard polling interval",
     "Sends 52 14 and shows the answer and the interval.\n", 0, 0},
    {"turbo", "", "show the turbo speed setting",
     "Sends 52 12 and shows the answer and the setting (On or Off).\n", 0, 0},
    {"set", "language NAME|NUMBER | polling N | turbo On|Off", "write a setting",
     "Writes a setting to the reader. The reader takes at most 254 writes, so a write needs\n"
     "--yes, or a yes on the terminal; declined, it writes nothing and exits with 4.\n"
     "Values are written as the reading commands print them, in any letter case.\n"
     "  language: a name (English (US), Swiss, Swedish, Spanish, Norwegian, Italian, German,\n"
     "            French, Japanese, English (UK), Universal) or its number, 0 to 10\n"
     "  polling:  1 to 255\n"
     "  turbo:    On or Off\n",
     2, 2},
    {"apply", "SETTING=VALUE...", "make the settings as given, writing only those that differ",
     "Makes the reader's settings as given, any of: language=NAME|NUMBER, polling=N,\n"
     "turbo=On|Off, with the values that set takes. Reads each one, writes only those that\n"
     "differ (the reader takes at most 254 writes) and reads each written one back to check\n"
     "it. A write needs --yes, or a yes on the terminal (declined: exit 4); --check says\n"
     "what would change and writes nothing. A value that set would refuse stops the command\n"
     "before anything is read or written (exit 2). With --json:\n"
     "  {\"changed\": true, \"settings\": {\"polling\": {\"before\": 8, \"after\": 4}}, ...}\n"
     "Exit 0 the reader is as asked, changed or not; 1 a read, write or check failed (the\n"
     "message names the settings written before the failure); 2 usage; 3 no reader.\n",
     1, kRest},
    {"send", "TEXT", "send one typed command",
     "Sends TEXT as typed characters (tabs removed, at most 124 Latin-1 characters) and\n"
     "shows the frame and the reader's answer. Several words are joined with spaces.\n",
     1, kRest},
    {"send-hex", "HEX", "send one hexadecimal command",
     "Sends hexadecimal bytes such as \"52 24\" (two digits each, at most 125 bytes) framed,\n"
     "and shows the frame and the reader's answer as Pelorin's history does.\n",
     1, kRest},
    {"run", "FILE|-", "run a script",
     "Sends the file's lines (with -, standard input's) one by one up to the line that\n"
     "begins with END, each line's outcome as it is sent. A line takes 1.5 seconds or more\n"
     "for each reader interface: its answer is awaited before the next line. Empty lines,\n"
     "lines that begin with a space and lines that begin with ;; are passed over. A line\n"
     "that reaches no reader stops the run (exit 1). Ctrl-C ends the run after the line\n"
     "being sent (exit 130).\n",
     1, 1},
};

constexpr const char* kOptionsHelp =
    "Options:\n"
    "  --json           print one JSON object\n"
    "  --yes            confirm a write without asking\n"
    "  --check          apply: say what would change, and write nothing\n"
    "  --path PATH      talk to this reader interface only (see status); by default every\n"
    "                   interface of a current reader gets the command\n"
    "  --serial NUMBER  talk to the reader with this serial number only (see status)\n"
    "  --help           this help; COMMAND --help for a command's\n"
    "  --version        the version\n"
    "  --               ends the options: what follows is the command and its arguments\n";

constexpr const char* kExitHelp =
    "Exit status: 0 done, 1 the reader did not answer or refused (apply: a read, write or\n"
    "check failed), 2 usage error, 3 no reader found, 4 a write declined on the terminal,\n"
    "130 a run ended by Ctrl-C.\n";

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& entry : kCommands) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

std::string UsageLine(const CommandSpec& entry) {
  std::string line = std::string("pelorin-cli [options] ") + entry.name;
  if (entry.usage[0] != '\0') line += std::string(" ") + entry.usage;
  return line;
}

void PrintToolHelp(std::ostream& out) {
  out << "Usage: pelorin-cli [options] COMMAND [ARGUMENTS]\n"
         "Configures KAVRO USB KB readers without a screen.\n\nCommands:\n";
  for (const CommandSpec& entry : kCommands) {
    std::string name = entry.name;
    if (entry.usage[0] != '\0' && std::string(entry.name) != "set") name += std::string(" ") + entry.usage;
    name.resize(std::max<size_t>(name.size() + 2, 16), ' ');
    out << "  " << name << entry.summary << "\n";
  }
  out << "\n" << kOptionsHelp << "\n" << kExitHelp;
}

void PrintCommandHelp(const CommandSpec& entry, std::ostream& out) {
  out << "Usage: " << UsageLine(entry) << "\n" << entry.details << "\n" << kOptionsHelp;
}

struct CommandLine {
  Options options;
  bool help = false;
  bool version = false;
  std::vector<std::string> words;  // the command and its arguments
  std::string error;               // a usage error
};

// What an option that takes a value needs ("an interface path"), or null.
const char* ValueOption(const std::string& arg) {
  if (arg == "--path" || arg.starts_with("--path=")) return "an interface path";
  if (arg == "--serial" || arg.starts_with("--serial=")) return "a serial number";
  return nullptr;
}

CommandLine Parse(const std::vector<std::string>& args) {
  CommandLine line;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      line.words.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--json") {
      line.options.json = true;
    } else if (arg == "--check") {
      line.options.check = true;
    } else if (arg == "--yes" || arg == "-y") {
      line.options.yes = true;
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (const char* what = ValueOption(arg)) {
      std::string& value = arg.starts_with("--path") ? line.options.path : line.options.serial;
      const size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      }
      if (value.empty()) {
        line.error = arg.substr(0, equals) + " needs " + what + " (see 'pelorin-cli status')";
        return line;
      }
    } else {
      line.error = "unknown option " + arg + " (see 'pelorin-cli --help')";
      return line;
    }
  }
  return line;
}

std::string Joined(const std::vector<std::string>& words, size_t from) {
  std::string text;
  for (size_t i = from; i < words.size(); ++i) {
    if (i > from) text += ' ';
    text += words[i];
  }
  return text;
}

Outcome Dispatch(const CommandSpec& entry, const std::vector<std::string>& words,
                 const Options& options, Console& console) {
  const std::string name = entry.name;
  if (name == "status") return Status(options);
  if (name == "show") return Show(options, console);
  if (name == "set") return Set({words[1], words[2]}, options, console);
  if (name == "send" || name == "send-hex") return Send(Joined(words, 1), name == "send-hex", options, console);
  if (name == "run") return RunScript(words[1], options, console);
  if (name == "apply") return Apply({words.begin() + 1, words.end()}, options, console);
  return Review(name, options, console);
}

int Finish(const std::string& command, Outcome outcome, const Options& options, Console& console) {
  if (options.json) {
    nlohmann::json json = std::move(outcome.json);
    json["command"] = command;
    json["exit_code"] = outcome.code;
    if (outcome.code != kExitDone) json["error"] = outcome.error;
    if (!outcome.notes.empty()) json["notes"] = outcome.notes;
    console.out << json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    console.out << outcome.text;
  }
  for (const std::string& note : outcome.notes) console.err << "pelorin-cli: " << note << "\n";
  if (outcome.code != kExitDone) console.err << "pelorin-cli: " << outcome.error << "\n";
  console.out.flush();
  return outcome.code;
}

int UsageError(const std::string& command, const std::string& error, const Options& options,
               Console& console) {
  Outcome outcome;
  outcome.code = kExitUsage;
  outcome.error = error;
  return Finish(command, std::move(outcome), options, console);
}

}  // namespace

int Run(const std::vector<std::string>& args, Console& console) {
  CommandLine line = Parse(args);
  if (!line.error.empty()) return UsageError("", line.error, line.options, console);
  if (line.version) {
    console.out << "pelorin-cli " << SUITE_VERSION << "\n";
    return kExitDone;
  }
  if (line.words.empty() || line.words[0] == "help") {
    const CommandSpec* entry = line.words.size() > 1 ? FindCommand(line.words[1]) : nullptr;
    if (line.words.empty() && !line.help) {
      return UsageError("", "no command given (see 'pelorin-cli --help')", line.options, console);
    }
    if (entry != nullptr) {
      PrintCommandHelp(*entry, console.out);
    } else {
      PrintToolHelp(console.out);
    }
    return kExitDone;
  }
  const std::string& name = line.words[0];
  const CommandSpec* entry = FindCommand(name);
  if (entry == nullptr) {
    return UsageError(name, "unknown command '" + name + "' (see 'pelorin-cli --help')",
                      line.options, console);
  }
  if (line.help) {
    PrintCommandHelp(*entry, console.out);
    return kExitDone;
  }
  if (line.options.check && name != "apply") {
    return UsageError(name, "--check goes with apply only", line.options, console);
  }
  const size_t given = line.words.size() - 1;
  if (given < entry->minArgs || given > entry->maxArgs) {
    return UsageError(name, "usage: " + UsageLine(*entry) + " (see 'pelorin-cli " + name +
                                " --help')",
                      line.options, console);
  }
  std::vector<std::string> openFailures;
  line.options.openFailures = &openFailures;
  Outcome outcome = Dispatch(*entry, line.words, line.options, console);
  outcome.notes.insert(outcome.notes.end(), openFailures.begin(), openFailures.end());
  return Finish(name, std::move(outcome), line.options, console);
}

}  // namespace pelorincli
