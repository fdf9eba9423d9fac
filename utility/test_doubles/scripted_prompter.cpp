#include "utility/scripted_prompter.h"

namespace utility {

void ScriptedPrompter::ShowMessage(const std::string& text, const std::string& caption) {
  messages.push_back({text, caption});
  if (whileMessageOpen) whileMessageOpen();
}

std::optional<std::string> ScriptedPrompter::NextFile(bool save, const std::string& filter,
                                                      const std::string& defaultExtension) {
  fileRequests.push_back({save, filter, defaultExtension});
  if (fileAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompter::AskSaveFileName(const std::string& filter,
                                                             const std::string& defaultExtension) {
  return NextFile(true, filter, defaultExtension);
}

std::optional<std::string> ScriptedPrompter::AskOpenFileName(const std::string& filter,
                                                             const std::string& defaultExtension) {
  return NextFile(false, filter, defaultExtension);
}

void ScriptedPrompter::ShowAbout() { ++aboutShown; }

DialogOutcome ScriptedPrompter::ConfirmSettingWrite() {
  ++warningsShown;
  if (warningAnswers.empty()) return DialogOutcome::Cancelled;
  DialogOutcome answer = warningAnswers.front();
  warningAnswers.pop_front();
  return answer;
}

DialogOutcome ScriptedPrompter::AskSetting(SettingRequest* request) {
  settingRequests.push_back(*request);
  if (settingAnswers.empty()) return DialogOutcome::Cancelled;
  std::optional<int> answer = settingAnswers.front();
  settingAnswers.pop_front();
  if (!answer) return DialogOutcome::Cancelled;
  request->value = *answer;
  return DialogOutcome::Accepted;
}

}  // namespace utility
