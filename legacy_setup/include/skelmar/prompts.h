// Message boxes and the open-file dialog, behind one small interface: the
// program shows Qt's, tests answer from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

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

// Answers the open-file dialog from a queue of prepared answers (nothing
// when the queue is empty, as if cancelled) and records every request.
class ScriptedPrompts : public Prompts {
 public:
  struct Warning {
    std::string text;
    std::string caption;
    bool operator==(const Warning&) const = default;
  };

  void ShowWarning(const std::string& text, const std::string& caption) override {
    warnings.push_back({text, caption});
  }
  std::optional<std::string> ChooseFileToOpen(const std::string& title) override {
    fileTitles.push_back(title);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }

  std::vector<Warning> warnings;
  std::vector<std::string> fileTitles;                 // one per dialog shown
  std::deque<std::optional<std::string>> fileAnswers;  // nullopt: cancel
};

}  // namespace skelmar
