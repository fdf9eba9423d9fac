#include "hex_text.h"

#include <cctype>

#include "hidhost/sim_device.h"

namespace hidhost::sim {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes, std::string* error) {
  bytes->clear();
  size_t i = 0;
  while (i < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    const std::string token = text.substr(i, end - i);
    int high = HexValue(token[0]);
    int low = token.size() == 2 ? HexValue(token[1]) : 0;
    if (token.size() > 2 || high < 0 || low < 0) {
      *error = "bad hex byte \"" + token.substr(0, 8) + (token.size() > 8 ? "..." : "") +
               "\" at byte " + std::to_string(bytes->size() + 1) +
               " (expected one or two hex digits per byte, separated by spaces)";
      return false;
    }
    bytes->push_back(static_cast<uint8_t>(token.size() == 2 ? high * 16 + low : high));
    i = end;
  }
  return true;
}

std::string FormatHexBytes(const uint8_t* data, size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(length * 3);
  for (size_t i = 0; i < length; ++i) {
    if (i > 0) text += ' ';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

}  // namespace hidhost::sim
