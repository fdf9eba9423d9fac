// The number field of the setting dialog: an integer from 0 to 255.
#pragma once

#include <string>
#include <string_view>

namespace utility {

inline constexpr int kSettingMin = 0;
inline constexpr int kSettingMax = 255;

// The field's validation messages.
inline constexpr std::string_view kNotAnIntegerMessage = "Please enter an integer.";
inline constexpr std::string_view kOutOfRangeMessage = "Please enter an integer between 0 and 255.";

struct SettingFieldCheck {
  bool ok = false;
  int value = 0;          // valid when ok
  std::string message;    // the validation message when not ok
};

// Reads the field's text as a decimal integer (blanks around it allowed, an
// optional sign) and checks it against 0 to 255.
SettingFieldCheck CheckSettingField(std::string_view text);

}  // namespace utility
