// Start-up of the setup tool: creates the dialog, initialises it, centres it
// on the screen and runs the event loop until the dialog closes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "setup_window.h"

namespace skelmar {

struct StartupHooks {
  // Creates the dialog; null or throwing means it cannot be created.
  std::function<std::unique_ptr<SetupWindow>(Prompts& prompts)> createWindow;
  SetupWindow::ControllerFactory createController = SetupWindow::DefaultController;
};

// Returns the program's exit code: 0 once the dialog has closed; 1 when the
// dialog cannot be created (after a box captioned "CreateDialog") or its
// controller cannot be (after a box captioned "Exception").
int RunSetupTool(Prompts& prompts, const StartupHooks& hooks = {});

}  // namespace skelmar
