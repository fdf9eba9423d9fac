#include "startup.h"

#include "skelmar/win_exception.h"

namespace skelmar {

namespace {

// Enter means Send also on a focused push button, which the dialog manager
// would press instead (and Exit would end the tool).
bool EnterOnButton(HWND dialog, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  if (!IsChild(dialog, message.hwnd)) return false;
  const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

void ProcessMessage(HWND dialog, MSG& message) {
  if (dialog && EnterOnButton(dialog, message)) {
    const HWND send = GetDlgItem(dialog, static_cast<int>(Control::Send));
    if (IsWindowEnabled(send)) {
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(Control::Send), BN_CLICKED),
                   reinterpret_cast<LPARAM>(send));
    }
    return;
  }
  if (dialog && IsDialogMessageW(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void ProcessPendingMessages(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ProcessMessage(IsWindow(dialog) ? dialog : nullptr, message);
  }
}

int RunMessageLoop(HWND dialog) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return -1;
    ProcessMessage(IsWindow(dialog) ? dialog : nullptr, message);
  }
}

int RunSetupTool(HINSTANCE instance, Prompts& prompts, const StartupHooks& hooks) {
  Win32SetupWindow window(instance, prompts, hooks.options);
  const HWND dialog = window.Create();
  if (!dialog) {
    prompts.ShowWarning(CreateDialogErrorText(GetLastError()), kCreateDialogCaption);
    return 1;
  }
  if (!window.Controller()) {
    // The "Exception" box has been shown; a dialog without its controller
    // could do nothing but close.
    DestroyWindow(dialog);
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    return 1;
  }
  if (hooks.shown) hooks.shown(window);
  return RunMessageLoop(dialog);
}

}  // namespace skelmar
