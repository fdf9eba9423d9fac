#include "utility/setting_field.h"

namespace utility {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

SettingFieldCheck CheckSettingField(std::string_view text) {
  SettingFieldCheck check;
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t firstDigit = i;
  long long magnitude = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kSettingMax) overflow = true, magnitude = kSettingMax + 1;
  }
  const bool hasDigits = i > firstDigit;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (!hasDigits || i != text.size()) {
    check.message = std::string(kNotAnIntegerMessage);
    return check;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (overflow || value < kSettingMin || value > kSettingMax) {
    check.message = std::string(kOutOfRangeMessage);
    return check;
  }
  check.ok = true;
  check.value = static_cast<int>(value);
  return check;
}

}  // namespace utility
