// Prompts shown with Qt: warning boxes and the one open-file dialog of the
// process, which is built on first use and keeps the previous choice.
#pragma once

#include <string>

#include "gui_common/file_chooser.h"
#include "skelmar/prompts.h"

namespace skelmar {

class QtPrompts : public Prompts {
 public:
  // `filter` pairs a label and its patterns, "|"-separated, ending in "||"
  // (for example "All Files (*.*)|*.*||").
  explicit QtPrompts(std::string filter) : filter_(std::move(filter)) {}

  void ShowWarning(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title) override;

 private:
  std::string filter_;
  guicommon::FileChooser files_;
};

}  // namespace skelmar
