// A Prompts for tests, linked by tests only.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "skelmar/prompts.h"

namespace skelmar {

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
