#include "utility/setting_codes.h"

#include <cstdio>

#include "reader_link/command_codec.h"

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

uint8_t ReviewValueFromRecord(std::string_view record) {
  const size_t n = record.size();
  if (n < 13) return 0;
  return static_cast<uint8_t>(16 * readerlink::HexDigitValue(record[n - 13]) +
                              readerlink::HexDigitValue(record[n - 12]));
}

std::string ReviewLine(ReviewKind kind, uint8_t value) {
  switch (kind) {
    case ReviewKind::Language:
      return "\r\nCurrent language setting is " + std::string(LanguageName(value));
    case ReviewKind::PollingInterval:
      return "\r\nHID KB polling setting is " + std::to_string(value);
    case ReviewKind::TurboSpeed: {
      std::string line = "\r\nTurbo speed setting is ";
      if (value == 0x30) line += "Off";
      if (value == 0x31) line += "On";
      return line;
    }
  }
  return {};
}

std::string FormatWriteCommand(uint8_t functionCode, uint8_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "53 %02X 01 %02X", functionCode, value);
  return text;
}

}  // namespace utility
