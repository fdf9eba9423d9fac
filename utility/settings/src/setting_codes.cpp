#include "utility/setting_codes.h"

#include <cstdio>

#include "reader_link/exchange_result.h"

namespace utility {

const LanguageEntry* LanguageByMenuId(int menuId) {
  for (const LanguageEntry& entry : kLanguages) {
    if (entry.menuId == menuId) return &entry;
  }
  return nullptr;
}

std::string_view LanguageName(uint8_t value) {
  for (const LanguageEntry& entry : kLanguages) {
    if (entry.value == value) return entry.name;
  }
  return {};
}

uint8_t ReviewValue(std::span<const uint8_t> answer) {
  answer = readerlink::WithoutPadding(answer);
  const size_t n = answer.size();
  if (n >= 4) {
    // 02 06 VV 03 whose LRC, the exclusive or of these four, was 0.
    const std::span<const uint8_t> end = answer.last(4);
    if (end[0] == 0x02 && end[1] == 0x06 && end[3] == 0x03 && (end[0] ^ end[1] ^ end[2] ^ end[3]) == 0) {
      return end[2];
    }
  }
  return n >= 3 ? answer[n - 3] : 0;
}

std::string ReviewValueText(ReviewKind kind, uint8_t value) {
  switch (kind) {
    case ReviewKind::Language:
      return std::string(LanguageName(value));
    case ReviewKind::PollingInterval:
      return std::to_string(value);
    case ReviewKind::TurboSpeed:
      return value == 0x30 ? "Off" : value == 0x31 ? "On" : "";
  }
  return {};
}

std::string ReviewLine(ReviewKind kind, uint8_t value) {
  switch (kind) {
    case ReviewKind::Language:
      return "\r\nCurrent language setting is " + ReviewValueText(kind, value);
    case ReviewKind::PollingInterval:
      return "\r\nHID KB polling setting is " + ReviewValueText(kind, value);
    case ReviewKind::TurboSpeed:
      return "\r\nTurbo speed setting is " + ReviewValueText(kind, value);
  }
  return {};
}

std::string FormatWriteCommand(uint8_t functionCode, uint8_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "53 %02X 01 %02X", functionCode, value);
  return text;
}

}  // namespace utility
