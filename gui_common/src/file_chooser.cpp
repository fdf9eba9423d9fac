#include "gui_common/file_chooser.h"

#include <QFile>
#include <QFileDialog>

namespace guicommon {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts =
      QString::fromLatin1(filter.data(), static_cast<qsizetype>(filter.size())).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;  // the closing "||"
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    }
    // The dialog shows the label alone (HideNameFilterDetails) and matches
    // the patterns in the last parentheses.
    filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

FileChooser::~FileChooser() {
  // A dialog with a parent may already be gone with it.
  delete dialog_.data();
}

QFileDialog* FileChooser::Dialog() const { return dialog_.data(); }

std::optional<std::string> FileChooser::Choose(const FileRequest& request) {
  if (dialog_.isNull()) {
    dialog_ = new QFileDialog(parent_.data());
    dialog_->setOption(QFileDialog::DontUseNativeDialog);
    dialog_->setOption(QFileDialog::HideNameFilterDetails);
    // Saving over an existing file replaces it without a question.
    dialog_->setOption(QFileDialog::DontConfirmOverwrite);
  }
  QFileDialog& dialog = *dialog_;
  dialog.setWindowTitle(request.title);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(QtNameFilters(request.filter));
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!lastChoice_.isEmpty()) dialog.selectFile(lastChoice_);
  if (dialog.exec() != QDialog::Accepted || dialog_.isNull()) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  lastChoice_ = chosen.constFirst();
  const QByteArray path = QFile::encodeName(lastChoice_);
  return std::string(path.constData(), static_cast<size_t>(path.size()));
}

}  // namespace guicommon
