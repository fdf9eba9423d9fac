// Prompts shown with the system's dialogs: warning boxes with no owner and
// the one open-file dialog of the process, which opens with the previous
// choice preset. The file dialog is owned by the thread's active window (the
// setup dialog), which it disables while it is open.
#pragma once

#include <string>

#include "skelmar/prompts.h"

namespace skelmar {

class Win32Prompts : public Prompts {
 public:
  // `filter` pairs a label and its patterns, "|"-separated, ending in "||"
  // (for example "All Files (*.*)|*.*||").
  explicit Win32Prompts(std::string filter) : filter_(std::move(filter)) {}

  void ShowWarning(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title) override;

 private:
  std::string filter_;
  std::string previous_;  // the last file chosen
};

}  // namespace skelmar
