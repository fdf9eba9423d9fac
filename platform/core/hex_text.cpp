#include "hidhost/hex_text.h"

namespace hidhost {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The C locale's white space, whatever locale the program runs in.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

bool DecodeHexBytes(std::string_view text, HexDigits digits, std::vector<uint8_t>* bytes,
                    HexTextError* error) {
  bytes->clear();
  size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    const size_t length = end - i;
    const int high = HexValue(text[i]);
    const int low = length == 2 ? HexValue(text[i + 1]) : -1;
    if (length == 2 && high >= 0 && low >= 0) {
      bytes->push_back(static_cast<uint8_t>(high << 4 | low));
    } else if (length == 1 && digits == HexDigits::kOneOrTwo && high >= 0) {
      bytes->push_back(static_cast<uint8_t>(high));
    } else {
      if (error != nullptr) *error = {i, length, bytes->size() + 1};
      return false;
    }
    i = end;
  }
  return true;
}

}  // namespace hidhost
