// Prompts shown with Qt: warning boxes and the one open-file dialog of the
// process, which keeps the previous choice between uses.
#pragma once

#include <QString>
#include <memory>

#include "skelmar/prompts.h"

class QFileDialog;

namespace skelmar {

class QtPrompts : public Prompts {
 public:
  // `filter` pairs a label and its patterns, "|"-separated, ending in "||"
  // (for example "All Files (*.*)|*.*||").
  explicit QtPrompts(const std::string& filter);
  ~QtPrompts() override;

  void ShowWarning(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title) override;

  QFileDialog& FileDialog() { return *fileDialog_; }

 private:
  std::unique_ptr<QFileDialog> fileDialog_;
  QString lastChoice_;
};

// Qt name filters for a "|"-separated filter text. Labels stay as written;
// the pattern "*.*", which means every file, becomes "*".
QStringList QtNameFilters(const std::string& filter);

}  // namespace skelmar
