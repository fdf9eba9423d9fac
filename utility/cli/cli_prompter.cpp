#include "cli_prompter.h"

#include <string>

namespace pelorincli {

// The write warning's two lines, as Pelorin shows them.
constexpr const char* kWarningLines[] = {"Maximum setting limit is 254 times only!",
                                         "Please avoid any unnecessary setting!"};

std::vector<CliPrompter::Message> CliPrompter::TakeMessages() {
  std::vector<Message> taken;
  taken.swap(messages_);
  return taken;
}

void CliPrompter::ShowMessage(const std::string& text, const std::string& caption) {
  messages_.push_back({text, caption});
}

utility::DialogOutcome CliPrompter::ConfirmSettingWrite() {
  if (assumeYes_) return utility::DialogOutcome::Accepted;
  if (!console_.inputIsTerminal) {
    refusedWithoutTerminal_ = true;
    return utility::DialogOutcome::Cancelled;
  }
  for (const char* line : kWarningLines) console_.err << line << '\n';
  console_.err << "Write to the reader? [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(console_.in, answer)) return utility::DialogOutcome::Cancelled;
  const bool yes = answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
  return yes ? utility::DialogOutcome::Accepted : utility::DialogOutcome::Cancelled;
}

utility::DialogOutcome CliPrompter::AskSetting(utility::SettingRequest* request) {
  if (!settingValue) return utility::DialogOutcome::Cancelled;
  request->value = *settingValue;
  return utility::DialogOutcome::Accepted;
}

}  // namespace pelorincli
