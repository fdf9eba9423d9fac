// What every pelorin-cli command gives back, and the dialog's operations
// assembled without a screen.
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <vector>

#include "cli_prompter.h"
#include "console.h"
#include "interface_filter.h"
#include "utility/command_sender.h"
#include "utility/handlers.h"
#include "utility/memory_controls.h"
#include "utility/session.h"

namespace pelorincli {

struct Options {
  bool json = false;
  bool yes = false;
  bool check = false;  // apply: say what would change, write nothing
  std::string path;    // empty: every matching interface
  std::string serial;  // empty: any serial number
  // Where the interfaces that do not open are told; may stay null.
  std::vector<std::string>* openFailures = nullptr;

  InterfaceChoice Choice() const { return {path, serial}; }
};

struct Outcome {
  int code = 0;
  std::string error;   // one line for stderr when code is not 0
  std::string text;    // the plain output
  nlohmann::json json = nlohmann::json::object();
  std::vector<std::string> notes;  // said on stderr, and listed in the JSON
};

// The main dialog's values and operations on controls held in memory. No
// script runner is attached to the sender, so a pause command does not stop
// a run: nobody could type the Resume.
struct HeadlessUtility {
  HeadlessUtility(Console& console, const Options& options) : prompter(console, options.yes) {
    session.runState.ReaderPresent = 1;
    utility::ReaderTargets targets;
    if (!options.Choice().Any()) {
      targets.chosen = [choice = options.Choice()](const readerlink::ReaderInterface& reader) {
        return Chosen(choice, reader);
      };
    }
    targets.openFailed = [failures = options.openFailures](const readerlink::ReaderInterface& reader) {
      if (failures) failures->push_back("the reader interface " + reader.path + " could not be opened");
    };
    sender.SetTargets(std::move(targets));
  }
  utility::UtilityContext Context() { return {controls, prompter, session, CommandText, sender}; }

  utility::MemoryControls controls;
  CliPrompter prompter;
  utility::Session session;
  std::string CommandText;
  utility::CommandSender sender{controls, prompter, session, CommandText};
};

// Fails with exit 3 and what to do when no current reader is present.
bool RequireReader(const Options& options, Outcome* outcome);

// Exit 1 with the reason when `answer` is empty or a NAK.
bool CheckAnswer(std::span<const uint8_t> answer, const Options& options, Outcome* outcome);

// Exit 2 with the first message box that carries the caption "Error".
bool TakeErrorMessages(CliPrompter& prompter, Outcome* outcome);

// CR LF line ends as the terminal wants them, with a final line end.
std::string AsLines(const std::string& text);

Outcome Status(const Options& options);
Outcome Review(const std::string& what, const Options& options, Console& console);
Outcome Show(const Options& options, Console& console);
Outcome Set(const std::vector<std::string>& args, const Options& options, Console& console);
Outcome Send(const std::string& text, bool hex, const Options& options, Console& console);
// `file` "-" reads the script from standard input.
Outcome RunScript(const std::string& file, const Options& options, Console& console);
// `args` are the settings, each "NAME=VALUE".
Outcome Apply(const std::vector<std::string>& args, const Options& options, Console& console);

}  // namespace pelorincli
