#include "utility/version_record.h"

#include <algorithm>

#include "reader_link/exchange_result.h"

namespace utility {
namespace {

void AppendCharacter(std::string& text, uint8_t byte) {
  if (byte != 0) text += static_cast<char>(byte);
}

}  // namespace

std::string FirmwareVersion(std::span<const uint8_t> answer) {
  answer = readerlink::WithoutPadding(answer);
  const size_t used = answer.size();
  std::string text;
  for (size_t i = 2; i + 2 < used; ++i) AppendCharacter(text, answer[i]);
  const size_t last = std::max<size_t>(used >= 2 ? used - 2 : 0, 2);
  if (last < used && answer[last] != 0x03) AppendCharacter(text, answer[last]);
  return text;
}

std::string VersionRecord(std::span<const uint8_t> answer) {
  return "Command:  " + readerlink::HexBytesText(kVersionCommand) + "\r\nResponse:  " +
         readerlink::HexBytesText(readerlink::WithoutPadding(answer)) +
         "\r\n\r\nFirmware Version: " + FirmwareVersion(answer);
}

}  // namespace utility
