// The Prompter of pelorin-cli: no dialogs. Message boxes are kept for the
// command to report; the write warning is answered by --yes or by a question
// on the terminal; the setting dialog answers with the value from the
// command line; file dialogs are never needed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console.h"
#include "utility/prompter.h"

namespace pelorincli {

class CliPrompter : public utility::Prompter {
 public:
  struct Message {
    std::string text;
    std::string caption;
  };

  CliPrompter(Console& console, bool assumeYes) : console_(console), assumeYes_(assumeYes) {}

  // The value the setting dialog "enters"; without it the dialog is cancelled.
  std::optional<int> settingValue;

  // Message boxes shown, oldest first; TakeMessages empties the list.
  std::vector<Message> TakeMessages();
  // True when a write was refused because nobody could be asked.
  bool WriteRefusedWithoutTerminal() const { return refusedWithoutTerminal_; }

  void ShowMessage(const std::string& text, const std::string& caption) override;
  std::optional<std::string> AskSaveFileName(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> AskOpenFileName(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void ShowAbout() override {}
  utility::DialogOutcome ConfirmSettingWrite() override;
  utility::DialogOutcome AskSetting(utility::SettingRequest* request) override;

 private:
  Console& console_;
  bool assumeYes_;
  bool refusedWithoutTerminal_ = false;
  std::vector<Message> messages_;
};

}  // namespace pelorincli
