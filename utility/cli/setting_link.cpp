#include "setting_link.h"

#include "utility/control_ids.h"
#include "utility/setting_codes.h"
#include "utility/setting_commands.h"

namespace pelorincli {
namespace {

using utility::ControlId;

std::string_view ReviewCommand(Setting setting) {
  switch (setting) {
    case Setting::Language:
      return utility::kReviewLanguageCommand;
    case Setting::Polling:
      return utility::kReviewPollingCommand;
    case Setting::Turbo:
      return utility::kReviewTurboCommand;
  }
  return {};
}

}  // namespace

SettingRead ReadSetting(Setting setting, const Options& options, Console& console) {
  SettingRead read;
  HeadlessUtility utility(console, options);
  utility.controls.SetText(ControlId::CommandBox, std::string(ReviewCommand(setting)));
  utility.sender.SendHexCommand();
  const std::string record = utility.controls.Text(ControlId::HistoryBox);
  if (!CheckAnswer(RecordField(record, "Response:  "), &read.outcome)) return read;
  read.byte = utility::ReviewValueFromRecord(record);
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
  const std::string record = utility.controls.Text(ControlId::HistoryBox);
  if (!CheckAnswer(RecordField(record, "Response:  "), &outcome) &&
      outcome.error.find("(NAK)") != std::string::npos) {
    outcome.error = "the reader refused the write (NAK): it may have taken its 254 setting writes";
  }
  return outcome;
}

}  // namespace pelorincli
