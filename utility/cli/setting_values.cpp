#include "setting_values.h"

#include <algorithm>
#include <cctype>

#include "utility/setting_codes.h"
#include "utility/setting_commands.h"
#include "utility/setting_field.h"

namespace pelorincli {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string LanguageChoices() {
  std::string names;
  for (const utility::LanguageEntry& entry : utility::kLanguages) {
    if (!names.empty()) names += ", ";
    names += entry.name;
  }
  return names;
}

ParsedValue ParseLanguage(std::string_view word) {
  for (size_t i = 0; i < utility::kLanguages.size(); ++i) {
    if (Lower(utility::kLanguages[i].name) == Lower(word)) return {static_cast<int>(i), {}};
  }
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (!word.empty() && word.size() <= 2 && std::ranges::all_of(word, isDigit)) {
    const int index = std::stoi(std::string(word));
    if (index < static_cast<int>(utility::kLanguages.size())) return {index, {}};
  }
  return {std::nullopt, "unknown language '" + std::string(word) +
                            "': give a number from 0 to 10 or one of " + LanguageChoices()};
}

ParsedValue ParsePolling(std::string_view word) {
  const utility::SettingFieldCheck check = utility::CheckSettingField(word);
  if (!check.ok) return {std::nullopt, "polling interval '" + std::string(word) + "': " + check.message};
  // The same refusal as Pelorin's setting dialog gives.
  if (check.value < 1) return {std::nullopt, utility::kPollingMinimumMessage};
  return {check.value, {}};
}

ParsedValue ParseTurbo(std::string_view word) {
  const std::string lower = Lower(word);
  if (lower == "on" || lower == "1") return {1, {}};
  if (lower == "off" || lower == "0") return {0, {}};
  return {std::nullopt, "turbo speed '" + std::string(word) + "': give On or Off"};
}

}  // namespace

std::string_view SettingName(Setting setting) {
  switch (setting) {
    case Setting::Language:
      return "language";
    case Setting::Polling:
      return "polling";
    case Setting::Turbo:
      return "turbo";
  }
  return {};
}

std::optional<Setting> SettingByName(std::string_view name) {
  for (Setting setting : kSettings) {
    if (SettingName(setting) == name) return setting;
  }
  return std::nullopt;
}

ParsedValue ParseSettingValue(Setting setting, std::string_view word) {
  switch (setting) {
    case Setting::Language:
      return ParseLanguage(word);
    case Setting::Polling:
      return ParsePolling(word);
    case Setting::Turbo:
      return ParseTurbo(word);
  }
  return {};
}

std::optional<int> ValueFromReviewByte(Setting setting, uint8_t byte) {
  switch (setting) {
    case Setting::Language:
      if (utility::LanguageName(byte).empty()) return std::nullopt;
      return byte - utility::kLanguages[0].value;
    case Setting::Polling:
      if (byte == 0) return std::nullopt;
      return byte;
    case Setting::Turbo:
      if (byte == '0') return 0;
      if (byte == '1') return 1;
      return std::nullopt;
  }
  return std::nullopt;
}

std::string ValueWords(Setting setting, int value) {
  switch (setting) {
    case Setting::Language:
      return utility::kLanguages.at(static_cast<size_t>(value)).name;
    case Setting::Polling:
      return std::to_string(value);
    case Setting::Turbo:
      return value != 0 ? "On" : "Off";
  }
  return {};
}

nlohmann::json ValueJson(Setting setting, int value) {
  if (setting == Setting::Polling) return value;
  return ValueWords(setting, value);
}

}  // namespace pelorincli
