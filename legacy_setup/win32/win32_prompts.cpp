#include "win32_prompts.h"

#include "win32_common/dialogs.h"

namespace skelmar {

void Win32Prompts::ShowWarning(const std::string& text, const std::string& caption) {
  win32ui::ShowMessageBox(nullptr, text, caption, MB_OK | MB_ICONWARNING);
}

std::optional<std::string> Win32Prompts::ChooseFileToOpen(const std::string& title) {
  win32ui::FileRequest request;
  request.filter = filter_;
  request.title = title;
  request.initialPath = previous_;
  std::optional<std::string> chosen = win32ui::AskFileName(GetActiveWindow(), request);
  if (chosen) previous_ = *chosen;
  return chosen;
}

}  // namespace skelmar
