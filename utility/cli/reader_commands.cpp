// status, the reviews, the writes and the single sends.
#include <cstdio>
#include <optional>
#include <span>

#include "command_text.h"
#include "outcome.h"
#include "pelorin_cli.h"
#include "reader_link/command_codec.h"
#include "reader_link/reader_device.h"
#include "reader_status.h"
#include "setting_values.h"
#include "utility/control_ids.h"
#include "utility/setting_codes.h"
#include "utility/setting_commands.h"
#include "text/hex_text.h"

namespace pelorincli {
namespace {

using utility::ControlId;

constexpr uint8_t kNak = 0x15;
// Over SSH there is no seat for the rule's desktop-user access: the group's
// access, or root's, is what a remote login gets.
constexpr const char* kUdevAdvice =
    "install the udev rule 70-card-readers.rules (see README), then run 'sudo udevadm control "
    "--reload-rules && sudo udevadm trigger' or plug the reader in again; from an SSH login, "
    "run as root (sudo, or Ansible's become) or as a member of the group plugdev";

std::string NoReaderMessage(const ReaderStatus& status, const Options& options) {
  if (!status.interfaces.empty()) {
    return "only an older reader (Revision <= H) is connected: configure it with skelmar";
  }
  if (!options.path.empty()) {
    return "no reader at " + options.path + ": run 'pelorin-cli status' to see the readers' paths";
  }
  if (!options.serial.empty()) {
    return "no reader with the serial number " + options.serial +
           ": run 'pelorin-cli status' to see the readers' serial numbers";
  }
  if (status.deniedInterfaces > 0) {
    return "no reader found, and " + std::to_string(status.deniedInterfaces) +
           " HID interface(s) could not be opened (access denied): " + kUdevAdvice;
  }
  return "no reader found: plug in a reader (USB vendor ID 1C5E), then check with "
         "'pelorin-cli status'";
}

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

// "%02X " text without its last space.
std::string HexField(std::span<const uint8_t> bytes) { return hidhost::FormatHexBytes(bytes); }

// Shows `record` as Pelorin's history box does and reports the exchange's
// frame and `answer`, checked.
Outcome FromExchange(const readerlink::ExchangeResult& exchange,
                     std::span<const uint8_t> answer, const std::string& record,
                     const Options& options) {
  Outcome outcome;
  outcome.text = AsLines(record);
  outcome.json["frame"] = HexField(exchange.frame);
  outcome.json["answer"] = HexField(answer);
  CheckAnswer(answer, options, &outcome);
  return outcome;
}

// A send's outcome: its exchange record and the last answer.
Outcome FromSend(const readerlink::ExchangeResult& exchange, const Options& options) {
  return FromExchange(exchange, exchange.answer(), utility::ExchangeRecord(exchange), options);
}

// One review on a reader known to be there: its record, and its value in
// words (the polling interval as a number).
Outcome ReviewOne(const std::string& what, const Options& options, Console& console) {
  HeadlessUtility utility(console, options);
  utility::SettingCommands settings(utility.Context());
  if (what == "version") {
    settings.ReviewVersion();
  } else if (what == "language") {
    settings.ReviewLanguage();
  } else if (what == "polling") {
    settings.ReviewPollingInterval();
  } else {
    settings.ReviewTurboSpeed();
  }
  const utility::ReviewResult& review = settings.LastReview();
  Outcome outcome = FromExchange(review.exchange, review.answer, review.record, options);
  if (outcome.code != kExitDone) return outcome;
  const std::string& value = review.value;
  if (what == "polling" && !value.empty() && value.size() <= 3 &&
      value.find_first_not_of("0123456789") == std::string::npos) {
    outcome.json["value"] = std::stoi(value);
  } else {
    outcome.json["value"] = value;
  }
  return outcome;
}

std::string ValueText(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}

}  // namespace

bool RequireReader(const Options& options, Outcome* outcome) {
  const ReaderStatus status = ScanReaderStatus(options.Choice());
  if (status.HasCurrentReader() && (options.path.empty() || status.HasCommandInterface())) {
    return true;
  }
  if (status.HasCurrentReader()) {
    outcome->code = kExitUsage;
    outcome->error = options.path +
                     " is the reader's keyboard interface, which takes no commands: give --path "
                     "the interface that 'pelorin-cli status' shows as taking commands";
    return false;
  }
  outcome->code = kExitNoReader;
  outcome->error = NoReaderMessage(status, options);
  return false;
}

bool CheckAnswer(std::span<const uint8_t> answer, const Options& options, Outcome* outcome) {
  answer = readerlink::WithoutPadding(answer);
  if (answer.empty()) {
    outcome->code = kExitNoAnswer;
    const std::string denied = ReaderDeniedPath(options.Choice());
    outcome->error =
        denied.empty()
            ? "the reader did not answer: check its cable, or name its configuration interface "
              "with --path (see 'pelorin-cli status')"
            : "the reader at " + denied + " cannot be opened for commands (access denied): " +
                  kUdevAdvice;
    return false;
  }
  if (answer.size() >= 2 && answer[0] == readerlink::kStx && answer[1] == kNak) {
    outcome->code = kExitNoAnswer;
    outcome->error = "the reader refused the command (NAK): check the command and its value";
    return false;
  }
  return true;
}

bool TakeErrorMessages(CliPrompter& prompter, Outcome* outcome) {
  bool clean = true;
  for (const CliPrompter::Message& message : prompter.TakeMessages()) {
    if (message.caption == "Error" && clean) {
      outcome->code = kExitUsage;
      outcome->error = message.text;
      clean = false;
    } else {
      outcome->notes.push_back(message.text);
    }
  }
  return clean;
}

std::string AsLines(const std::string& text) {
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  return lines;
}

Outcome Status(const Options& options) {
  Outcome outcome;
  const ReaderStatus status = ScanReaderStatus(options.Choice());
  outcome.json["readers"] = nlohmann::json::array();
  for (const ReaderInterface& found : status.interfaces) {
    outcome.json["readers"].push_back({{"position", found.position},
                                       {"generation", GenerationName(found.productId)},
                                       {"product_id", Hex4(found.productId)},
                                       {"path", found.path},
                                       {"serial", found.serial},
                                       {"takes_commands", found.takesCommands}});
    outcome.text += GenerationName(found.productId) + " reader (" + Hex4(found.productId) +
                    ") at " + found.path + (found.serial.empty() ? "" : ", serial " + found.serial) +
                    (found.productId == readerlink::kLegacyReaderProductId ? ": configure it with skelmar\n"
                     : found.takesCommands ? ": takes commands\n"
                                           : ": the reader's keyboard, takes no commands\n");
  }
  if (status.interfaces.empty()) {
    outcome.code = kExitNoReader;
    outcome.error = NoReaderMessage(status, options);
  }
  return outcome;
}

Outcome Review(const std::string& what, const Options& options, Console& console) {
  Outcome outcome;
  if (!RequireReader(options, &outcome)) return outcome;
  return ReviewOne(what, options, console);
}

Outcome Show(const Options& options, Console& console) {
  Outcome outcome;
  if (!RequireReader(options, &outcome)) return outcome;
  for (const char* what : {"version", "language", "polling", "turbo"}) {
    Outcome one = ReviewOne(what, options, console);
    if (one.code != kExitDone) {
      one.error = what + std::string(": ") + one.error;
      one.json = std::move(outcome.json);
      one.text = std::move(outcome.text);
      return one;
    }
    outcome.json[what] = one.json["value"];
    outcome.text += std::string(what) + ": " + ValueText(one.json["value"]) + "\n";
  }
  return outcome;
}

Outcome Set(const std::vector<std::string>& args, const Options& options, Console& console) {
  Outcome outcome;
  const std::optional<Setting> setting = SettingByName(args[0]);
  if (!setting) {
    outcome.code = kExitUsage;
    outcome.error = "cannot set '" + args[0] + "': give language, polling or turbo";
    return outcome;
  }
  const ParsedValue parsed = ParseSettingValue(*setting, args[1]);
  if (!parsed.value) {
    outcome.code = kExitUsage;
    outcome.error = parsed.error;
    return outcome;
  }
  if (!RequireReader(options, &outcome)) return outcome;

  HeadlessUtility utility(console, options);
  utility::SettingCommands settings(utility.Context());
  utility.prompter.settingValue = parsed.value;
  if (*setting == Setting::Language) {
    settings.SetLanguage(utility::kLanguages.at(static_cast<size_t>(*parsed.value)));
  } else if (*setting == Setting::Polling) {
    settings.SetPollingInterval();
  } else {
    settings.SetTurboSpeed();
  }
  if (!TakeErrorMessages(utility.prompter, &outcome)) return outcome;
  if (utility.prompter.WriteRefusedWithoutTerminal()) {
    outcome.code = kExitUsage;
    outcome.error = "a write changes the reader: add --yes to confirm it (there is no terminal "
                    "to ask on)";
    return outcome;
  }
  if (utility.sender.LastExchange().frame.empty()) {
    outcome.code = kExitDeclined;
    outcome.error = "declined: nothing was written";
    return outcome;
  }
  std::vector<std::string> notes = std::move(outcome.notes);
  outcome = FromSend(utility.sender.LastExchange(), options);
  outcome.notes = std::move(notes);
  return outcome;
}

Outcome Send(const std::string& argument, bool hex, const Options& options, Console& console) {
  Outcome outcome;
  // Pelorin sends what its box holds; here a command that cannot go out as
  // written is refused before anything is sent.
  std::string text = argument;
  if (!(hex ? CheckHexText(argument, &outcome.error) : TypedCommandBytes(argument, &text, &outcome.error))) {
    outcome.code = kExitUsage;
    return outcome;
  }
  if (!RequireReader(options, &outcome)) return outcome;
  HeadlessUtility utility(console, options);
  utility.controls.SetText(ControlId::CommandBox, text);
  if (hex) {
    utility.sender.SendHexCommand();
  } else {
    utility.sender.SendTypedCommand();
  }
  if (!TakeErrorMessages(utility.prompter, &outcome)) {
    // A typed command that no reader took is said as Pelorin says it, with
    // the status of a reader that did not answer.
    if (!hex && !utility.sender.LastExchange().frame.empty()) outcome.code = kExitNoAnswer;
    return outcome;
  }
  // A typed send shows only the text in Pelorin's history; the tool shows
  // the exchange as a hexadecimal send does.
  outcome = FromSend(utility.sender.LastExchange(), options);
  if (!hex && text.size() >= 2 && text[1] == 'Y') {
    outcome.notes.push_back("the reader types its answer to '" + argument +
                            "' as keyboard input, which pelorin-cli cannot see");
    outcome.json["keyboard_answer"] = true;
  }
  return outcome;
}

}  // namespace pelorincli
