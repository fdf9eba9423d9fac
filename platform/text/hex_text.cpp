#include "text/hex_text.h"

namespace hidhost {

namespace {

// The C locale's white space, whatever locale the program runs in.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void AppendHexByte(uint8_t byte, std::string* text) {
  static const char kDigits[] = "0123456789ABCDEF";
  *text += kDigits[byte >> 4];
  *text += kDigits[byte & 15];
}
}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FormatHexBytes(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ' ';
    AppendHexByte(bytes[i], &text);
  }
  return text;
}

std::string HexBytesEachSpaced(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (uint8_t byte : bytes) {
    AppendHexByte(byte, &text);
    text += ' ';
  }
  return text;
}

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
    const int high = HexDigitValue(text[i]);
    const int low = length == 2 ? HexDigitValue(text[i + 1]) : -1;
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

uint8_t LenientHexDigit(char c) {
  const int value = HexDigitValue(c);
  return static_cast<uint8_t>(value < 0 ? 0 : value);
}

std::vector<uint8_t> DecodeHexPairs(std::string_view text) {
  std::vector<uint8_t> bytes(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(LenientHexDigit(text[2 * i]) * 16 + LenientHexDigit(text[2 * i + 1]));
  }
  return bytes;
}

}  // namespace hidhost
