#include "qt_prompts.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace skelmar {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromLatin1(filter.c_str()).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    }
    // The dialog shows the label alone (HideNameFilterDetails) and matches
    // the patterns in the last parentheses.
    filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

QtPrompts::QtPrompts(const std::string& filter) : fileDialog_(std::make_unique<QFileDialog>()) {
  fileDialog_->setOption(QFileDialog::DontUseNativeDialog);
  fileDialog_->setOption(QFileDialog::HideNameFilterDetails);
  fileDialog_->setAcceptMode(QFileDialog::AcceptOpen);
  fileDialog_->setFileMode(QFileDialog::ExistingFile);
  fileDialog_->setNameFilters(QtNameFilters(filter));
}

QtPrompts::~QtPrompts() = default;

void QtPrompts::ShowWarning(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(caption.c_str()),
                  QString::fromLatin1(text.c_str()), QMessageBox::Ok);
  box.exec();
}

std::optional<std::string> QtPrompts::ChooseFileToOpen(const std::string& title) {
  fileDialog_->setWindowTitle(QString::fromLatin1(title.c_str()));
  if (!lastChoice_.isEmpty()) fileDialog_->selectFile(lastChoice_);
  if (fileDialog_->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = fileDialog_->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  lastChoice_ = chosen.first();
  return QFile::encodeName(lastChoice_).toStdString();
}

}  // namespace skelmar
