#include "qt_prompter.h"

#include "about_dialog.h"
#include "gui_common/message_box.h"
#include "gui_common/text_codec.h"

namespace utility {

void QtPrompter::ShowMessage(const std::string& text, const std::string& caption) {
  guicommon::ShowMessageBox(parent_.data(), QMessageBox::NoIcon,
                            guicommon::ToDisplayText(caption.empty() ? std::string(kApplicationName) : caption),
                            guicommon::ToDisplayText(text));
}

std::optional<std::string> QtPrompter::AskFileName(bool save, const std::string& filter,
                                                   const std::string& defaultExtension) {
  QString suffix = guicommon::ToDisplayText(defaultExtension);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  files_.SetParent(parent_.data());
  return files_.Choose({save, {}, filter, suffix});
}

std::optional<std::string> QtPrompter::AskSaveFileName(const std::string& filter,
                                                       const std::string& defaultExtension) {
  return AskFileName(true, filter, defaultExtension);
}

std::optional<std::string> QtPrompter::AskOpenFileName(const std::string& filter,
                                                       const std::string& defaultExtension) {
  return AskFileName(false, filter, defaultExtension);
}

void QtPrompter::ShowAbout() {
  AboutDialog about(parent_.data());
  about.exec();
}

DialogOutcome QtPrompter::ConfirmSettingWrite() {
  return warning_ ? warning_(parent_.data()) : DialogOutcome::NotCreated;
}

DialogOutcome QtPrompter::AskSetting(SettingRequest* request) {
  return setting_ ? setting_(parent_.data(), request) : DialogOutcome::NotCreated;
}

}  // namespace utility
