// Message boxes and the open-file dialog, behind one small interface: the
// program shows Qt's, tests answer from a script (tests/scripted_prompts.h).
#pragma once

#include <optional>
#include <string>

namespace skelmar {

class Prompts {
 public:
  virtual ~Prompts() = default;

  // A message box with no owner, an OK button and the warning icon.
  virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;

  // Shows the process's one open-file dialog with this title. It opens with
  // the previous choice preset. The chosen file's full path (8-bit), or
  // nothing when the operator cancels.
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& title) = 0;
};

}  // namespace skelmar
