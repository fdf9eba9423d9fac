#include "utility/version_record.h"

#include <algorithm>
#include <cstdio>

namespace utility {
namespace {

void AppendHex(std::string& text, uint8_t byte) {
  char digits[4];
  std::snprintf(digits, sizeof digits, "%02X ", byte);
  text += digits;
}

void AppendCharacter(std::string& text, uint8_t byte) {
  if (byte != 0) text += static_cast<char>(byte);
}

}  // namespace

std::string VersionRecord(const std::array<uint8_t, kVersionAnswerCapacity>& answer, size_t count) {
  count = std::min(count, answer.size());
  std::string text = "Command:  ";
  for (uint8_t byte : kVersionCommand) AppendHex(text, byte);
  text += "\r\nResponse:  ";

  size_t used = count;  // one past the last non-zero byte
  while (used > 0 && answer[used - 1] == 0) --used;
  for (size_t i = 0; i < used; ++i) AppendHex(text, answer[i]);

  text += "\r\n\r\nFirmware Version: ";
  for (size_t i = 2; i + 2 < used; ++i) AppendCharacter(text, answer[i]);
  const size_t last = std::max<size_t>(used >= 2 ? used - 2 : 0, 2);
  if (last < count && answer[last] != 0x03) AppendCharacter(text, answer[last]);
  return text;
}

}  // namespace utility
