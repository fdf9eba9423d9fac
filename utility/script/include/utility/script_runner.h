// The script runner: the Run Script / Stop / Resume button, Send File, and
// the step that the 100 ms tick runs while ScriptRunning is set. Each step
// picks the next command line into CommandText and shows the progress in
// the command box; the tick then sends it with SendTypedCommand.
//
// Script text: one command a line; empty lines, lines that begin with a
// space and lines that begin with ";;" are passed over; the run ends at the
// line that begins with "END", which the text must hold somewhere. A command
// of two characters with a capital Y second pauses the run once it was sent.
#pragma once

#include <string>

#include "utility/handlers.h"
#include "utility/script_buffer.h"

namespace utility {

inline constexpr const char* kRunScriptLabel = "Run Script";
inline constexpr const char* kStopLabel = "Stop";
inline constexpr const char* kResumeLabel = "Resume";
inline constexpr const char* kProgressPrefix = "Current command: ";
inline constexpr const char* kSendCompleteMessage = "Send Complete!";
inline constexpr const char* kNoEndMessage = "Script does not include the word END!";

// "The script was stopped at the command "<line>": <why>." The line keeps
// the start of the command box, so that Run Script sends it first.
std::string StoppedAtLineMessage(const std::string& line, const std::string& why);
// "The script was stopped after the command "<line>": <why>." The command
// box begins with the line after it.
std::string StoppedAfterLineMessage(const std::string& line, const std::string& why);

class ScriptRunner : public ScriptRunHandler {
 public:
  explicit ScriptRunner(UtilityContext context);

  // Lets the operator choose a text file and puts its text in the command
  // box. A cancelled dialog or a file that cannot be read leaves the box as
  // it was and says so; the result tells whether the box was loaded.
  bool LoadScriptFile();

  // Starts a run on the command box's text, or stops the run in progress.
  // A text that begins with the progress line this runner wrote goes on
  // after that line, which is not sent again.
  void ToggleScriptRun() override;

  // LoadScriptFile, then ToggleScriptRun. A cancelled dialog or a file that
  // cannot be read starts nothing (a run in progress stops all the same).
  void SendScriptFile() override;

  // One step of a run: ends it, or picks the next command into CommandText
  // and shows "Current command: <command>", a blank line and the rest.
  void RunScriptStep() override;

  // Stops the run at `line`, which the command box then begins with, and
  // says why. Nothing of the line was recorded as sent.
  void StopAtLine(const std::string& line, const std::string& why) override;

  // Stops the run after `line`, which was sent, and says why; the command
  // box begins with the text after it, so that Run Script goes on there.
  void StopAfterLine(const std::string& line, const std::string& why) override;

  const ScriptBuffer& Buffer() const { return buffer_; }

 private:
  // Stops the run in progress with the label "Run Script", whatever paused it.
  void StopRun();
  void Complete();
  void ShowProgress();
  // Replaces what the command box shows ahead of the unconsumed text.
  void ReplaceShownHead(std::string newHead);

  UtilityContext context_;
  ScriptBuffer buffer_;
  // The command box shows head_ followed by the buffer's text from shownFrom_.
  std::string head_;
  size_t shownFrom_ = 0;
  // The progress line of the last step, while the command box may still
  // begin with it; empty otherwise.
  std::string progressLine_;
  // The command line the last step picked, as the script holds it.
  std::string pickedLine_;
};

}  // namespace utility
