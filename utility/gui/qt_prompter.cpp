#include "qt_prompter.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "about_dialog.h"
#include "text_codec.h"

namespace utility {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromLatin1(filter.data(), static_cast<qsizetype>(filter.size()))
                                .split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& label = parts[i];
    const QString& patterns = parts[i + 1];
    if (label.isEmpty()) break;  // the closing "||"
    QString entry = label;
    if (!label.contains(QLatin1Char('(')) && !patterns.isEmpty()) {
      QString spaced = patterns;
      entry += QStringLiteral(" (") + spaced.replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    }
    filters << entry;
  }
  return filters;
}

void QtPrompter::ShowMessage(const std::string& text, const std::string& caption) {
  const QString title = ToDisplayText(caption.empty() ? std::string(kApplicationName) : caption);
  QMessageBox box(QMessageBox::NoIcon, title, ToDisplayText(text), QMessageBox::Ok, parent_.data());
  box.exec();
}

std::optional<std::string> QtPrompter::AskFileName(bool save, const std::string& filter,
                                                   const std::string& defaultExtension) {
  QFileDialog dialog(parent_.data());
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(QtNameFilters(filter));
  QString suffix = ToDisplayText(defaultExtension);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // Saving over an existing file replaces it without a question.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QByteArray path = QFile::encodeName(dialog.selectedFiles().constFirst());
  return std::string(path.constData(), static_cast<size_t>(path.size()));
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
