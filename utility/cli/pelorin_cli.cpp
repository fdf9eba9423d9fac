// The command line: options, help, dispatch and how results are written.
#include "pelorin_cli.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "outcome.h"
#include "path_filter_host.h"

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
     "Lists every HID interface of a supported reader: its generation, product ID and path.\n"
     "Exit 3 when there is none.\n",
     0, 0},
    {"version", "", "show the reader's firmware version",
     "Sends 02 52 22 03 71 and shows the answer and the firmware version.\n", 0, 0},
    {"language", "", "show the keyboard language",
     "Sends 52 24 and shows the answer and the language in words.\n", 0, 0},
    {"polling", "", "show the HID keyboard polling interval",
     "Sends 52 14 and shows the answer and the interval.\n", 0, 0},
    {"turbo", "", "show the turbo speed setting",
     "Sends 52 12 and shows the answer and the setting (On or Off).\n", 0, 0},
    {"set", "language NAME|NUMBER | polling N | turbo on|off", "write a setting",
     "Writes a setting to the reader. The reader takes at most 254 writes, so a write needs\n"
     "--yes, or a yes on the terminal.\n"
     "  language: a name (English (US), Swiss, Swedish, Spanish, Norwegian, Italian, German,\n"
     "            French, Japanese, English (UK), Universal) or its number, 0 to 10\n"
     "  polling:  1 to 255\n"
     "  turbo:    on or off\n",
     2, 2},
    {"send", "TEXT", "send one typed command",
     "Sends TEXT as typed characters (tabs removed, at most 124 characters) and shows the\n"
     "frame and the reader's answer. Several words are joined with spaces.\n",
     1, kRest},
    {"send-hex", "HEX", "send one hexadecimal command",
     "Sends hexadecimal bytes such as \"52 24\" (at most 125 bytes) framed, and shows the\n"
     "frame and the reader's answer as Pelorin's history does.\n",
     1, kRest},
    {"run", "FILE", "run a script",
     "Sends the file's lines one by one, ten a second, up to the line that begins with END.\n"
     "Empty lines, lines that begin with a space and lines that begin with ;; are passed\n"
     "over. A line that reaches no reader stops the run (exit 1). On a terminal the run\n"
     "shows its progress.\n",
     1, 1},
};

constexpr const char* kOptionsHelp =
    "Options:\n"
    "  --json       print one JSON object\n"
    "  --yes        confirm a write without asking\n"
    "  --path PATH  talk to this reader interface only (see status); by default every\n"
    "               reader interface gets the command\n"
    "  --help       this help; COMMAND --help for a command's\n";

constexpr const char* kExitHelp =
    "Exit status: 0 done, 1 the reader did not answer or refused, 2 usage error,\n"
    "3 no reader found.\n";

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
  std::vector<std::string> words;  // the command and its arguments
  std::string error;               // a usage error
};

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
    } else if (arg == "--yes" || arg == "-y") {
      line.options.yes = true;
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--path" || arg.starts_with("--path=")) {
      if (arg == "--path") {
        if (i + 1 == args.size()) {
          line.error = "--path needs an interface path (see 'pelorin-cli status')";
          return line;
        }
        line.options.path = args[++i];
      } else {
        line.options.path = arg.substr(7);
      }
      if (line.options.path.empty()) {
        line.error = "--path needs an interface path (see 'pelorin-cli status')";
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
  if (name == "set") return Set({words[1], words[2]}, options, console);
  if (name == "send" || name == "send-hex") return Send(Joined(words, 1), name == "send-hex", options, console);
  if (name == "run") return RunScript(words[1], options, console);
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
  const size_t given = line.words.size() - 1;
  if (given < entry->minArgs || given > entry->maxArgs) {
    return UsageError(name, "usage: " + UsageLine(*entry) + " (see 'pelorin-cli " + name +
                                " --help')",
                      line.options, console);
  }
  std::unique_ptr<PathFilter> filter;
  if (!line.options.path.empty()) filter = std::make_unique<PathFilter>(line.options.path);
  return Finish(name, Dispatch(*entry, line.words, line.options, console), line.options, console);
}

}  // namespace pelorincli
