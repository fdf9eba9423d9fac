#include "utility/setting_codes.h"

#include <cctype>
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

namespace {

// The byte written as two hexadecimal digits at `at`, or -1.
int HexByteAt(std::string_view text, size_t at) {
  const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (!isHex(text[at]) || !isHex(text[at + 1])) return -1;
  return 16 * readerlink::HexDigitValue(text[at]) + readerlink::HexDigitValue(text[at + 1]);
}

// True when the record ends with a whole answer frame "02 06 VV 03 " whose
// LRC was 0: the exchange trims trailing zero bytes, so that LRC is gone and
// the value stands one byte nearer the end.
bool EndsWithTrimmedZeroLrc(std::string_view record) {
  constexpr std::string_view kEnd = "\r\n\r\n";
  const size_t n = record.size();
  if (n < 12 + kEnd.size() || record.substr(n - kEnd.size()) != kEnd) return false;
  const size_t first = n - kEnd.size() - 12;
  int frameXor = 0;
  int bytes[4];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = HexByteAt(record, first + 3 * i);
    if (bytes[i] < 0 || record[first + 3 * i + 2] != ' ') return false;
    frameXor ^= bytes[i];
  }
  return bytes[0] == 0x02 && bytes[1] == 0x06 && bytes[3] == 0x03 && frameXor == 0;
}

}  // namespace

uint8_t ReviewValueFromRecord(std::string_view record) {
  const size_t n = record.size();
  if (EndsWithTrimmedZeroLrc(record)) {
    return static_cast<uint8_t>(HexByteAt(record, n - 10));
  }
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
