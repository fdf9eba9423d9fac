// A Prompter for tests: it records every message box and answers file
// dialogs, warnings and setting dialogs from queues filled beforehand.
// An empty queue answers "cancelled".
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "utility/prompter.h"

namespace utility {

class ScriptedPrompter : public Prompter {
 public:
  struct Message {
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
    friend void PrintTo(const Message& m, std::ostream* os) {
      *os << '"' << m.text << "\" (" << m.caption << ")";
    }
  };
  struct FileRequest {
    bool save = false;
    std::string filter;
    std::string defaultExtension;
  };

  // Queued answers.
  std::deque<std::optional<std::string>> fileAnswers;  // nullopt: cancelled
  std::deque<DialogOutcome> warningAnswers;
  std::deque<std::optional<int>> settingAnswers;       // nullopt: cancelled

  // What was asked.
  std::vector<Message> messages;
  std::vector<FileRequest> fileRequests;
  std::vector<SettingRequest> settingRequests;
  int aboutShown = 0;
  int warningsShown = 0;

  // Called inside every message box, as a modal loop would run ticks.
  std::function<void()> whileMessageOpen;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  std::optional<std::string> AskSaveFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  std::optional<std::string> AskOpenFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  void ShowAbout() override;
  DialogOutcome ConfirmSettingWrite() override;
  DialogOutcome AskSetting(SettingRequest* request) override;

 private:
  std::optional<std::string> NextFile(bool save, const std::string& filter,
                                      const std::string& defaultExtension);
};

}  // namespace utility
