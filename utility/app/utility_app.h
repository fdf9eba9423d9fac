// UtilityApp, the utility's application object: it sets the colours of all
// its dialogs and message boxes, runs the main dialog modally and returns
// when the dialog closes, whatever its result.
#pragma once

#include <memory>

#include "qt_prompter.h"
#include "utility/script_runner.h"
#include "utility/session.h"
#include "utility/setting_commands.h"
#include "utility_dialog.h"

class QApplication;

namespace utility {

// The setting menu commands and the script runner of one dialog.
struct UtilityHandlers {
  std::unique_ptr<SettingCommands> settings;
  std::unique_ptr<ScriptRunner> script;
};

// Builds both handlers on the dialog's context and routes its identifiers
// to them. The handlers must outlive the dialog's use.
UtilityHandlers AttachHandlers(UtilityDialog& dialog);

// Gives the prompter the write warning and the setting dialog.
void AttachSettingDialogs(QtPrompter& prompter);

class UtilityApp {
 public:
  // Sets the application's colours.
  explicit UtilityApp(QApplication& app);

  // Builds the main dialog and runs it modally; returns once it has closed.
  void Run();

 private:
  Session session_;
};

}  // namespace utility
