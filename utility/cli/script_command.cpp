// run FILE: Pelorin's script runner, paced by the same 100 ms tick.
#include <cstring>
#include <istream>
#include <string_view>

#include "hidhost/host.h"
#include "hidhost/interrupt.h"
#include "outcome.h"
#include "pelorin_cli.h"
#include "utility/control_ids.h"
#include "utility/script_file.h"
#include "utility/script_runner.h"

namespace pelorincli {
namespace {

constexpr uint32_t kTickMs = 100;

// Line ends as the runner takes them: CR LF, CR alone or LF alone.
size_t CountLineEnds(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') ++count;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return count;
}

// The number of the line the runner took last, counting from 1.
size_t TakenLineNumber(std::string_view script, size_t consumed) {
  const std::string_view taken = script.substr(0, consumed);
  const size_t ends = CountLineEnds(taken);
  const bool ended = !taken.empty() && (taken.back() == '\n' || taken.back() == '\r');
  return ended ? ends : ends + 1;
}

// The lines before the first line that begins with END.
size_t LinesBeforeEnd(std::string_view script) {
  size_t lineStart = 0;
  while (lineStart < script.size() && !script.substr(lineStart).starts_with("END")) {
    const size_t end = script.find_first_of("\r\n", lineStart);
    if (end == std::string_view::npos) return CountLineEnds(script) + 1;
    lineStart = end + (script.substr(end).starts_with("\r\n") ? 2 : 1);
  }
  return CountLineEnds(script.substr(0, lineStart));
}

// Standard input as ReadScriptFile reads a file: 8-bit text up to its first
// NUL byte, at most the largest script the command box takes.
utility::ScriptFileResult ReadScriptStream(std::istream& in, std::string* text) {
  std::string content;
  char chunk[64 * 1024];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    content.append(chunk, static_cast<size_t>(in.gcount()));
    if (content.size() > utility::kMaxScriptFileBytes) return utility::ScriptFileResult::TooLarge;
  }
  if (in.bad()) return utility::ScriptFileResult::CannotOpen;
  content.resize(std::strlen(content.c_str()));
  *text = std::move(content);
  return utility::ScriptFileResult::Loaded;
}

}  // namespace

Outcome RunScript(const std::string& file, const Options& options, Console& console) {
  Outcome outcome;
  std::string script;
  const bool fromInput = file == "-";
  const std::string name = fromInput ? "standard input" : file;
  switch (fromInput ? ReadScriptStream(console.in, &script) : utility::ReadScriptFile(file, &script)) {
    case utility::ScriptFileResult::Loaded:
      break;
    case utility::ScriptFileResult::CannotOpen:
      outcome.code = kExitUsage;
      outcome.error = "cannot read the script " + name + ": check the file name and its permissions";
      return outcome;
    case utility::ScriptFileResult::TooLarge:
      outcome.code = kExitUsage;
      outcome.error = name + ": " + utility::kScriptTooLargeMessage;
      return outcome;
  }
  if (!RequireReader(options, &outcome)) return outcome;

  HeadlessUtility utility(console, options);
  utility::ScriptRunner runner(utility.Context());
  const size_t total = LinesBeforeEnd(script);
  utility.controls.SetText(utility::ControlId::CommandBox, script);
  // From here Ctrl-C ends the run between two lines, never inside an
  // exchange.
  const hidhost::InterruptCatch interrupt;
  runner.ToggleScriptRun();

  nlohmann::json sent = nlohmann::json::array();
  const bool showProgress = console.errorIsTerminal && !options.json;
  const auto clearProgress = [&] {
    if (showProgress) console.err << "\r\033[K" << std::flush;
  };
  while (utility.session.runState.ScriptRunning) {
    if (interrupt.Requested()) {
      runner.ToggleScriptRun();
      outcome.code = kExitInterrupted;
      outcome.error = sent.empty() ? "interrupted before any line was sent"
                                   : "interrupted: the run stopped after line " +
                                         sent.back()["line"].dump() +
                                         ", the lines shown were sent and the rest was not";
      break;
    }
    hidhost::SleepMs(kTickMs);
    runner.RunScriptStep();
    if (!utility.session.runState.ScriptRunning) break;
    const size_t line = TakenLineNumber(script, runner.Buffer().Consumed());
    const std::string command = utility.CommandText;
    if (showProgress) console.err << "\rline " << line << " of " << total << std::flush;
    utility.sender.SendTypedCommand();
    clearProgress();

    Outcome lineOutcome;
    const bool refused = !TakeErrorMessages(utility.prompter, &lineOutcome);
    const readerlink::ExchangeResult& exchange = utility.sender.LastExchange();
    std::string answer = readerlink::HexBytesText(exchange.answer());
    if (!answer.empty()) answer.pop_back();
    sent.push_back({{"line", line}, {"text", command}, {"answer", answer}});
    if (refused) {
      // A line that cannot be sent stops the run there, as in Pelorin, so
      // that the lines after it are not sent without it.
      runner.ToggleScriptRun();
      outcome.code = kExitUsage;
      outcome.error = "line " + std::to_string(line) + ": " + lineOutcome.error +
                      " The run stopped there; mend the line and run the rest again";
      break;
    }
    // Each line is shown once its exchange is over, not at the end of the run.
    if (!options.json) console.out << "line " << line << ": " << command << "\n" << std::flush;
    if (exchange.delivery() == readerlink::Delivery::NotSent) {
      runner.ToggleScriptRun();
      outcome.code = kExitNoAnswer;
      outcome.error = "line " + std::to_string(line) + " (" + command +
                      ") reached no reader: the run stopped there; check the reader and run "
                      "the rest again";
      break;
    }
    if (exchange.delivery() == readerlink::Delivery::Unanswered) {
      // The reader has the line: running the rest again must not repeat it.
      runner.ToggleScriptRun();
      outcome.code = kExitNoAnswer;
      outcome.error = "line " + std::to_string(line) + " (" + command +
                      ") was sent, but the reader did not answer: the run stopped after it; "
                      "check the reader and run the lines after it";
      break;
    }
    if (command.size() >= 2 && command[1] == 'Y') {
      outcome.notes.push_back("line " + std::to_string(line) + ": the reader types its answer " +
                              "as keyboard input, which pelorin-cli cannot see");
    }
  }
  clearProgress();

  outcome.json["file"] = name;
  outcome.json["lines"] = sent;
  if (outcome.code != kExitDone) return outcome;
  bool complete = false;
  for (const CliPrompter::Message& message : utility.prompter.TakeMessages()) {
    if (message.text == utility::kSendCompleteMessage) {
      complete = true;
    } else {
      outcome.code = kExitUsage;
      outcome.error = name + ": " + message.text;
    }
  }
  if (outcome.code == kExitDone && !complete) {
    outcome.code = kExitUsage;
    outcome.error = name + ": no line begins with END, so the run could not end there";
  }
  outcome.json["complete"] = complete;
  if (complete) outcome.text += std::string(utility::kSendCompleteMessage) + "\n";
  return outcome;
}

}  // namespace pelorincli
