// The handlers the main dialog routes to beyond its own operations: the
// setting menu commands and the script runner. Each is built on a
// UtilityContext, which gives it the dialog's controls, the modal prompter,
// the process-wide values, the command string and the two send operations.
#pragma once

#include <string>

#include "utility/dialog_controls.h"
#include "utility/prompter.h"
#include "utility/session.h"

namespace utility {

class CommandSender;

struct UtilityContext {
  DialogControls& controls;
  Prompter& prompter;
  Session& session;
  std::string& CommandText;  // the main dialog's command string
  CommandSender& sender;     // SendTypedCommand, SendHexCommand
};

// Menu commands of "General Setting" and "Foreign Language".
class SettingCommandHandler {
 public:
  virtual ~SettingCommandHandler() = default;
  // Runs the command of `menuId` (ReviewVersion .. the eleven languages).
  // Returns false for an identifier it does not handle.
  virtual bool RunMenuCommand(int menuId) = 0;
};

// The script runner: Run Script / Stop / Resume, Send File and the step the
// 100 ms tick runs while ScriptRunning is set.
class ScriptRunHandler {
 public:
  virtual ~ScriptRunHandler() = default;
  virtual void ToggleScriptRun() = 0;
  virtual void SendScriptFile() = 0;
  virtual void RunScriptStep() = 0;
  // The command `line` of the run could not be sent (`why` says what kept
  // it back): the run stops there, so that it can start again from it.
  virtual void StopAtLine(const std::string& line, const std::string& why) = 0;
  // The command `line` reached the reader but the exchange failed after it
  // (`why`): it counts as sent, and the run stops after it, so that it is
  // never sent twice.
  virtual void StopAfterLine(const std::string& line, const std::string& why) = 0;
};

}  // namespace utility
