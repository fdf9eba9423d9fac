#include "startup.h"

#include <QApplication>
#include <QScreen>

#include "hidhost/errors.h"
#include "skelmar/win_exception.h"

namespace skelmar {

namespace {

std::unique_ptr<SetupWindow> CreateWindow(Prompts& prompts, const StartupHooks& hooks,
                                          uint32_t* error) {
  *error = 0;
  try {
    std::unique_ptr<SetupWindow> window =
        hooks.createWindow ? hooks.createWindow(prompts) : std::make_unique<SetupWindow>(prompts);
    if (!window) *error = hidhost::GetLastError();
    return window;
  } catch (...) {
    *error = ExceptionCode(std::current_exception(), hidhost::GetLastError());
  }
  return nullptr;
}

}  // namespace

int RunSetupTool(Prompts& prompts, const StartupHooks& hooks) {
  uint32_t error = 0;
  std::unique_ptr<SetupWindow> window = CreateWindow(prompts, hooks, &error);
  if (!window) {
    prompts.ShowWarning(CreateDialogErrorText(error), kCreateDialogCaption);
    return 1;
  }
  if (!window->Initialise(hooks.createController)) return 1;

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
  window->show();
  return QApplication::exec();
}

}  // namespace skelmar
