// The "General Setting" and "Foreign Language" menu commands: reviews that
// send a fixed hexadecimal command and add the reader's value in plain words,
// writes guarded by the write warning, and Review Version with its own scan.
// The main dialog routes every identifier of these menus to RunMenuCommand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reader_link/exchange_result.h"
#include "utility/handlers.h"
#include "utility/setting_codes.h"

namespace utility {

inline constexpr const char* kDialogNotCreatedMessage = "Dialog box could not be created!";
inline constexpr const char* kPollingLabel = "Polling Interval (range from 1 to 255):";
inline constexpr const char* kTurboLabel = "             Turbo Speed Setting (0 or 1):";
inline constexpr const char* kPollingMinimumMessage =
    "The minimum value of Polling Interval setting is 1";
inline constexpr const char* kTurboMaximumMessage = "The maximum value of Turbo Speed setting is 1";

// What the last review exchanged and found.
struct ReviewResult {
  readerlink::ExchangeResult exchange;  // the frame and every interface's answer
  std::vector<uint8_t> answer;          // the answer the review read
  std::string value;                    // the setting in words, as the record shows it
  std::string record;                   // what the history box shows
};

class SettingCommands : public SettingCommandHandler {
 public:
  explicit SettingCommands(UtilityContext context);

  // ReviewVersion (32844), the polling interval (32867, 32868), the turbo
  // speed (32869, 32870), the language review (32866) and the eleven
  // language writes (32855 to 32865). False for any other identifier.
  bool RunMenuCommand(int menuId) override;

  // Sends 02 52 22 03 71 to every reader interface and shows the answer and
  // the firmware version characters in the history box. The command box and
  // CommandText stay as they are.
  void ReviewVersion();

  // "52 24", "52 14", "52 12" through SendHexCommand, then the value line.
  void ReviewLanguage();
  void ReviewPollingInterval();
  void ReviewTurboSpeed();

  // The write of one language of the table, after the warning.
  void SetLanguage(const LanguageEntry& language);

  // The warning, then the setting dialog, the range check and the write.
  void SetPollingInterval();
  void SetTurboSpeed();

  // The last review's exchange, answer and value; empty before the first.
  const ReviewResult& LastReview() const { return lastReview_; }

  // The write warning. True only on Continue; a warning that cannot be shown
  // tells the operator so and does not let the write go ahead.
  bool ConfirmSettingWrite();

 private:
  struct NumberSetting;

  void Review(std::string_view command, ReviewKind kind);
  void WriteNumber(const NumberSetting& setting);
  void SendHex(const std::string& commandText);

  UtilityContext context_;
  ReviewResult lastReview_;
};

}  // namespace utility
