// Start-up of the setup tool on Windows: creates the modeless dialog and
// runs the thread's message loop until the dialog has closed.
#pragma once

#include <windows.h>

#include <functional>

#include "setup_window.h"

namespace skelmar {

// Hands one message of the thread to the dialog manager's dialog-message
// processing for `dialog`; one that it does not take (a message for another
// window of the thread) is translated and dispatched. Enter presses Send
// wherever the focus is, except in the Response box, which takes it as a
// line break.
void ProcessMessage(HWND dialog, MSG& message);

// Handles every message already queued for the thread, as the message loop
// would, and returns (tools and tests, which drive the dialog themselves).
void ProcessPendingMessages(HWND dialog);

// Runs the message loop: the quit message's code, or -1 when getting a
// message fails.
int RunMessageLoop(HWND dialog);

struct StartupHooks {
  Win32SetupWindow::Options options;
  // Called once the dialog is shown, before the message loop (tests).
  std::function<void(Win32SetupWindow& window)> shown;
};

// Returns the program's exit code: the message loop's once the dialog has
// closed; 1 when the dialog cannot be created (after a box captioned
// "CreateDialog") or its controller cannot be (after a box captioned
// "Exception").
int RunSetupTool(HINSTANCE instance, Prompts& prompts, const StartupHooks& hooks = {});

}  // namespace skelmar
