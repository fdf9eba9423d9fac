// Pelorin on Windows, put together: the main dialog, the prompter with the
// program's boxes, the setting menu commands and the script runner, on one
// Session. The program runs it modally; the tests and the screenshot tool
// create it modeless and deliver its messages themselves.
#pragma once

#include <windows.h>

#include "utility/script_runner.h"
#include "utility/session.h"
#include "utility/setting_commands.h"
#include "utility_window.h"
#include "win32_prompter.h"

namespace utility {

class UtilityProgram {
 public:
  // `module` holds the resources.
  UtilityProgram(HINSTANCE module, Session& session);

  UtilityWindow& window() { return window_; }
  Win32Prompter& prompter() { return prompter_; }

  // The main dialog, modal; returns once it has closed.
  INT_PTR RunModal() { return window_.RunModal(); }
  bool Create() { return window_.Create(); }

 private:
  Win32Prompter prompter_;
  UtilityWindow window_;
  SettingCommands settings_;
  ScriptRunner script_;
};

}  // namespace utility
