#include "qt_prompts.h"

#include "gui_common/message_box.h"
#include "gui_common/text_codec.h"

namespace skelmar {

void QtPrompts::ShowWarning(const std::string& text, const std::string& caption) {
  guicommon::ShowMessageBox(nullptr, QMessageBox::Warning, guicommon::ToDisplayText(caption),
                            guicommon::ToDisplayText(text));
}

std::optional<std::string> QtPrompts::ChooseFileToOpen(const std::string& title) {
  return files_.Choose({false, guicommon::ToDisplayText(title), filter_, {}});
}

}  // namespace skelmar
