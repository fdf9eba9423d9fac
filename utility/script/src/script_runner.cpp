#include "utility/script_runner.h"

#include "utility/command_sender.h"
#include "utility/control_ids.h"
#include "utility/history_saver.h"
#include "utility/prompter.h"
#include "utility/script_file.h"

namespace utility {
namespace {

// Empty lines, lines that begin with a space and ";;" comments are passed over.
bool IsCommandLine(std::string_view line) {
  return !line.empty() && line.front() != ' ' && !line.starts_with(";;");
}

// The length of the line end at the start of `text`: CR LF, CR, LF or none.
size_t LineEndLength(std::string_view text) {
  if (text.starts_with("\r\n")) return 2;
  if (text.starts_with('\r') || text.starts_with('\n')) return 1;
  return 0;
}

}  // namespace

std::string StoppedAtLineMessage(const std::string& line, const std::string& why) {
  return "The script was stopped at the command \"" + line + "\": " + why + ".";
}

std::string StoppedAfterLineMessage(const std::string& line, const std::string& why) {
  return "The script was stopped after the command \"" + line + "\": " + why + ".";
}

ScriptRunner::ScriptRunner(UtilityContext context) : context_(context) {}

bool ScriptRunner::LoadScriptFile() {
  const std::optional<std::string> path =
      context_.prompter.AskOpenFileName(kTextFileFilter, kTextFileExtension);
  if (!path) {
    context_.prompter.ShowMessage(kFileOpenFailedMessage, kErrorCaption);
    return false;
  }
  std::string text;
  switch (ReadScriptFile(*path, &text)) {
    case ScriptFileResult::Loaded:
      context_.controls.SetText(ControlId::CommandBox, text);
      return true;
    case ScriptFileResult::CannotOpen:
      context_.prompter.ShowMessage(kFileOpenFailedMessage, kErrorCaption);
      return false;
    case ScriptFileResult::TooLarge:
      context_.prompter.ShowMessage(kScriptTooLargeMessage, kErrorCaption);
      return false;
  }
  return false;
}

void ScriptRunner::ToggleScriptRun() {
  RunState& state = context_.session.runState;
  if (state.ScriptRunning) {
    state.ScriptRunning = 0;
    context_.controls.SetText(ControlId::RunScript,
                              state.ScriptPaused ? kResumeLabel : kRunScriptLabel);
    return;
  }
  std::optional<std::string> typed = context_.controls.TypedText(ControlId::CommandBox);
  if (!typed) {
    context_.prompter.ShowMessage(kNotLatin1Message, kErrorCaption);
    return;
  }
  state.ScriptRunning = 1;
  context_.controls.SetText(ControlId::RunScript, kStopLabel);

  std::string text = std::move(*typed);
  // After a pause or a Stop the command box still begins with the progress
  // line of the command last sent; the run goes on after it. Any other text
  // is a new script and runs from its first line.
  size_t skip = 0;
  if (!progressLine_.empty() && std::string_view(text).starts_with(progressLine_)) {
    const std::string_view after = std::string_view(text).substr(progressLine_.size());
    const size_t lineEnd = LineEndLength(after);
    if (lineEnd > 0 || after.empty()) skip = progressLine_.size() + lineEnd;
  }
  buffer_.Assign(std::move(text), skip);
  head_.clear();
  shownFrom_ = 0;
}

void ScriptRunner::SendScriptFile() {
  const bool loaded = LoadScriptFile();
  if (loaded || context_.session.runState.ScriptRunning) ToggleScriptRun();
}

void ScriptRunner::StopRun() {
  RunState& state = context_.session.runState;
  if (state.ScriptRunning) ToggleScriptRun();
  state.ScriptPaused = 0;
  context_.controls.SetText(ControlId::RunScript, kRunScriptLabel);
}

void ScriptRunner::StopAtLine(const std::string& line, const std::string& why) {
  // Stopped before the message box, so that no step runs underneath it.
  StopRun();
  // The line as the script holds it (the send removed its tabs).
  ReplaceShownHead((pickedLine_.empty() ? line : pickedLine_) + "\r\n");
  pickedLine_.clear();
  progressLine_.clear();
  context_.prompter.ShowMessage(StoppedAtLineMessage(line, why), kErrorCaption);
}

void ScriptRunner::StopAfterLine(const std::string& line, const std::string& why) {
  StopRun();
  // The box shows what comes after the line; Run Script starts there.
  ReplaceShownHead({});
  pickedLine_.clear();
  progressLine_.clear();
  context_.prompter.ShowMessage(StoppedAfterLineMessage(line, why), kErrorCaption);
}

void ScriptRunner::RunScriptStep() {
  RunState& state = context_.session.runState;
  if (buffer_.Empty()) {
    ToggleScriptRun();
    state.ScriptRunning = 0;
    return;
  }
  if (!buffer_.ContainsEnd()) {
    // Stopped before the message box, so that no step runs underneath it.
    ToggleScriptRun();
    context_.prompter.ShowMessage(kNoEndMessage, "");
    return;
  }
  // The first step after a pause; the progress line was passed over when
  // the run was resumed.
  state.ScriptPaused = 0;

  while (!buffer_.Empty()) {
    if (buffer_.StartsWithEnd()) {
      Complete();
      return;
    }
    const std::string_view line = buffer_.TakeLine();
    if (IsCommandLine(line)) {
      context_.CommandText.assign(line);
      pickedLine_.assign(line);
      ShowProgress();
      return;
    }
  }
  // Only lines to pass over were left ("END" stood inside one of them):
  // nothing is sent, and the run ends as it does on an empty buffer.
  ToggleScriptRun();
}

void ScriptRunner::Complete() {
  ToggleScriptRun();
  ReplaceShownHead({});
  progressLine_.clear();
  context_.controls.SetText(ControlId::ResponseBox, "");
  context_.controls.SetFocus(ControlId::ResponseBox);
  context_.prompter.ShowMessage(kSendCompleteMessage, "");
}

void ScriptRunner::ShowProgress() {
  progressLine_ = kProgressPrefix + context_.CommandText;
  ReplaceShownHead(progressLine_ + "\r\n\r\n");
  // The send that follows blocks the dialog; the display is current first.
  context_.controls.RepaintNow();
}

void ScriptRunner::ReplaceShownHead(std::string newHead) {
  std::string oldStart = head_;
  oldStart += buffer_.ConsumedSince(shownFrom_);
  if (!context_.controls.ReplaceTextStart(ControlId::CommandBox, oldStart, newHead)) {
    // The box no longer shows what the runner put there (it was edited or
    // reloaded during the run): it is written whole.
    context_.controls.SetText(ControlId::CommandBox, newHead + std::string(buffer_.Remaining()));
  }
  head_ = std::move(newHead);
  shownFrom_ = buffer_.Consumed();
}

}  // namespace utility
