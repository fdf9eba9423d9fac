#include "text/number_text.h"

namespace hidhost {

std::optional<uint64_t> ReadDecimalOrHex(std::string_view text, uint64_t max, size_t maxDigits) {
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    uint64_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    else return std::nullopt;
    // Checked before each step, so that no maximum lets the value wrap.
    if (digit > max || value > (max - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

}  // namespace hidhost
