#include "hex_text.h"

#include "hidhost/hex_text.h"
#include "hidhost/sim_device.h"

namespace hidhost::sim {

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes, std::string* error) {
  HexTextError bad;
  if (DecodeHexBytes(text, HexDigits::kOneOrTwo, bytes, &bad)) return true;
  const std::string token = text.substr(bad.offset, bad.length);
  *error = "bad hex byte \"" + token.substr(0, 8) + (token.size() > 8 ? "..." : "") +
           "\" at byte " + std::to_string(bad.byteNumber) +
           " (expected one or two hex digits per byte, separated by spaces)";
  return false;
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
