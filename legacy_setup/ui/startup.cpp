#include "startup.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>

#include "hidhost/errors.h"
#include "skelmar/win_exception.h"

namespace skelmar {

std::string CreateDialogErrorText(uint32_t code) {
  char text[32];
  std::snprintf(text, sizeof text, "Error x%x", code);
  return text;
}

namespace {

std::unique_ptr<SetupWindow> CreateWindow(Prompts& prompts, const StartupHooks& hooks,
                                          uint32_t* error) {
  *error = 0;
  try {
    std::unique_ptr<SetupWindow> window =
        hooks.createWindow ? hooks.createWindow(prompts) : std::make_unique<SetupWindow>(prompts);
    if (!window) *error = hidhost::GetLastError();
    return window;
  } catch (const WinException& e) {
    *error = e.code;
  } catch (const std::bad_alloc&) {
    *error = hidhost::kErrorNotEnoughMemory;
  } catch (...) {
    *error = hidhost::GetLastError();
  }
  return nullptr;
}

}  // namespace

int RunSetupTool(Prompts& prompts, const StartupHooks& hooks) {
  uint32_t error = 0;
  std::unique_ptr<SetupWindow> window = CreateWindow(prompts, hooks, &error);
  if (!window) {
    prompts.ShowWarning(CreateDialogErrorText(error), "CreateDialog");
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
