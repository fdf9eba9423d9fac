// The three settings a command line can write, and their values as the
// reading commands print them: the language by name, the polling interval
// as a number, the turbo speed as On or Off. `set` and `apply` take the same
// words, and `apply` compares what it reads with what it was asked for.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace pelorincli {

enum class Setting { Language, Polling, Turbo };

inline constexpr Setting kSettings[] = {Setting::Language, Setting::Polling, Setting::Turbo};

// "language", "polling" or "turbo", as the reading commands are named.
std::string_view SettingName(Setting setting);
std::optional<Setting> SettingByName(std::string_view name);

// A value the reader can keep: the language's place in the language table
// (0 to 10), the polling interval (1 to 255), or the turbo speed (0 off,
// 1 on).
struct ParsedValue {
  std::optional<int> value;
  std::string error;  // why the word is refused, when there is no value
};

// The word of the command line: a language name in any letter case or its
// number 0 to 10; a polling interval 1 to 255; On, Off, 1 or 0.
ParsedValue ParseSettingValue(Setting setting, std::string_view word);

// The value a review's value byte stands for; none for a byte the reader
// should not hold (a language outside '0' to ':', a polling interval of 0, a
// turbo speed other than '0' or '1').
std::optional<int> ValueFromReviewByte(Setting setting, uint8_t byte);

// The value as the reading commands print it ("French", "4", "On"), and as
// their JSON gives it (the polling interval as a number).
std::string ValueWords(Setting setting, int value);
nlohmann::json ValueJson(Setting setting, int value);

}  // namespace pelorincli
