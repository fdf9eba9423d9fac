#include "setting_link.h"

#include "utility/setting_codes.h"
#include "utility/setting_commands.h"

namespace pelorincli {

SettingRead ReadSetting(Setting setting, const Options& options, Console& console) {
  SettingRead read;
  HeadlessUtility utility(console, options);
  utility::SettingCommands settings(utility.Context());
  switch (setting) {
    case Setting::Language:
      settings.ReviewLanguage();
      break;
    case Setting::Polling:
      settings.ReviewPollingInterval();
      break;
    case Setting::Turbo:
      settings.ReviewTurboSpeed();
      break;
  }
  const std::vector<uint8_t>& answer = settings.LastReview().answer;
  if (!CheckAnswer(answer, options, &read.outcome)) return read;
  read.byte = utility::ReviewValue(answer);
  read.value = ValueFromReviewByte(setting, read.byte);
  return read;
}

Outcome WriteSetting(Setting setting, int value, const Options& options, Console& console) {
  Options confirmed = options;
  confirmed.yes = true;
  HeadlessUtility utility(console, confirmed);
  utility::SettingCommands settings(utility.Context());
  utility.prompter.settingValue = value;
  switch (setting) {
    case Setting::Language:
      settings.SetLanguage(utility::kLanguages.at(static_cast<size_t>(value)));
      break;
    case Setting::Polling:
      settings.SetPollingInterval();
      break;
    case Setting::Turbo:
      settings.SetTurboSpeed();
      break;
  }
  Outcome outcome;
  // The value was checked before; a message here is the dialog's own range
  // check, which the value cannot fail.
  if (!TakeErrorMessages(utility.prompter, &outcome)) return outcome;
  if (!CheckAnswer(utility.sender.LastExchange().answer(), options, &outcome) &&
      outcome.error.find("(NAK)") != std::string::npos) {
    outcome.error = "the reader refused the write (NAK): it may have taken its 254 setting writes";
  }
  return outcome;
}

}  // namespace pelorincli
