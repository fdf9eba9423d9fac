#include "utility/setting_commands.h"

#include "utility/command_sender.h"
#include "utility/control_ids.h"
#include "utility/version_record.h"

namespace utility {

struct SettingCommands::NumberSetting {
  uint8_t functionCode;
  int initialValue;
  const char* label;
  // The value is refused with `rangeMessage` unless it lies in min..max.
  int min;
  int max;
  const char* rangeMessage;
};

SettingCommands::SettingCommands(UtilityContext context) : context_(context) {}

bool SettingCommands::RunMenuCommand(int menuId) {
  static constexpr struct {
    int id;
    void (SettingCommands::*run)();
  } kCommands[] = {
      {menu::ReviewVersion, &SettingCommands::ReviewVersion},
      {menu::ReviewPollingInterval, &SettingCommands::ReviewPollingInterval},
      {menu::SetPollingInterval, &SettingCommands::SetPollingInterval},
      {menu::ReviewTurboSpeed, &SettingCommands::ReviewTurboSpeed},
      {menu::SetTurboSpeed, &SettingCommands::SetTurboSpeed},
      {menu::ReviewLanguage, &SettingCommands::ReviewLanguage},
  };
  for (const auto& command : kCommands) {
    if (command.id == menuId) {
      (this->*command.run)();
      return true;
    }
  }
  if (const LanguageEntry* language = LanguageByMenuId(menuId)) {
    SetLanguage(*language);
    return true;
  }
  return false;
}

void SettingCommands::SendHex(const std::string& commandText) {
  context_.controls.SetText(ControlId::CommandBox, commandText);
  context_.sender.SendHexCommand();
}

void SettingCommands::Review(std::string_view command, ReviewKind kind) {
  SendHex(std::string(command));
  const readerlink::ExchangeResult& exchange = context_.sender.LastExchange();
  const std::span<const uint8_t> answer = exchange.answer();
  const uint8_t value = ReviewValue(answer);
  lastReview_ = {exchange, {answer.begin(), answer.end()}, ReviewValueText(kind, value),
                 ExchangeRecord(exchange) + ReviewLine(kind, value)};
  context_.controls.SetText(ControlId::HistoryBox, lastReview_.record);
}

void SettingCommands::ReviewLanguage() { Review(kReviewLanguageCommand, ReviewKind::Language); }

void SettingCommands::ReviewPollingInterval() {
  Review(kReviewPollingCommand, ReviewKind::PollingInterval);
}

void SettingCommands::ReviewTurboSpeed() { Review(kReviewTurboCommand, ReviewKind::TurboSpeed); }

bool SettingCommands::ConfirmSettingWrite() {
  switch (context_.prompter.ConfirmSettingWrite()) {
    case DialogOutcome::Accepted:
      return true;
    case DialogOutcome::Cancelled:
      return false;
    case DialogOutcome::NotCreated:
      // Without the warning on screen the operator has not agreed to a write.
      context_.prompter.ShowMessage(kDialogNotCreatedMessage, "");
      return false;
  }
  return false;
}

void SettingCommands::SetLanguage(const LanguageEntry& language) {
  if (!ConfirmSettingWrite()) return;
  SendHex(language.writeCommand);
}

void SettingCommands::WriteNumber(const NumberSetting& setting) {
  if (!ConfirmSettingWrite()) return;
  SettingRequest request{setting.label, setting.initialValue};
  switch (context_.prompter.AskSetting(&request)) {
    case DialogOutcome::Accepted:
      break;
    case DialogOutcome::Cancelled:
      return;
    case DialogOutcome::NotCreated:
      // The operator chose no value, so none is written.
      context_.prompter.ShowMessage(kDialogNotCreatedMessage, "");
      return;
  }
  if (request.value < setting.min || request.value > setting.max) {
    context_.prompter.ShowMessage(setting.rangeMessage, kErrorCaption);
    return;
  }
  SendHex(FormatWriteCommand(setting.functionCode, static_cast<uint8_t>(request.value)));
}

void SettingCommands::SetPollingInterval() {
  WriteNumber({kPollingFunctionCode, 1, kPollingLabel, 1, 255, kPollingMinimumMessage});
}

void SettingCommands::SetTurboSpeed() {
  WriteNumber({kTurboFunctionCode, 0, kTurboLabel, 0, 1, kTurboMaximumMessage});
}

void SettingCommands::ReviewVersion() {
  const readerlink::ExchangeResult exchange =
      context_.sender.ExchangeWithReaders(kVersionCommand, kVersionAnswerCapacity);
  // Every matching interface is asked on its own, with the whole buffer.
  // The record shows the last answer that came, also from an exchange that
  // failed after it; an interface that takes no frames (the reader's
  // keyboard) does not wipe out an earlier one.
  const std::span<const uint8_t> answer = exchange.lastHeard();
  lastReview_ = {exchange, {answer.begin(), answer.end()}, FirmwareVersion(answer),
                 VersionRecord(answer)};
  context_.controls.SetText(ControlId::HistoryBox, lastReview_.record);
}

}  // namespace utility
