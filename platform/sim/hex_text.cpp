#include "hex_text.h"

#include "text/hex_text.h"

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

}  // namespace hidhost::sim
