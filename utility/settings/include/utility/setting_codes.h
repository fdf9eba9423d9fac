// The reader's setting commands as text: the review and write command texts
// that go into the command box, the language table, and the value byte of a
// review's answer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace utility {

// Review command texts, as typed into the command box.
inline constexpr std::string_view kReviewLanguageCommand = "52 24";
inline constexpr std::string_view kReviewPollingCommand = "52 14";
inline constexpr std::string_view kReviewTurboCommand = "52 12";

// Function codes of the writes formed from a number.
inline constexpr uint8_t kPollingFunctionCode = 0x14;
inline constexpr uint8_t kTurboFunctionCode = 0x12;

struct LanguageEntry {
  uint8_t value;              // the value byte the reader keeps ('0' to ':')
  int menuId;                 // Foreign Language menu identifier
  const char* writeCommand;   // command box text of the write
  const char* name;           // menu item and the name the review shows
};

// The eleven languages, in menu order.
inline constexpr std::array<LanguageEntry, 11> kLanguages = {{
    {0x30, 32855, "53 24 01 30", "English (US)"},
    {0x31, 32856, "53 24 01 31", "Swiss"},
    {0x32, 32857, "53 24 01 32", "Swedish"},
    {0x33, 32858, "53 24 01 33", "Spanish"},
    {0x34, 32859, "53 24 01 34", "Norwegian"},
    {0x35, 32860, "53 24 01 35", "Italian"},
    {0x36, 32861, "53 24 01 36", "German"},
    {0x37, 32862, "53 24 01 37", "French"},
    {0x38, 32863, "53 24 01 38", "Japanese"},
    {0x39, 32864, "53 24 01 39", "English (UK)"},
    {0x3A, 32865, "53 24 01 3A", "Universal"},
}};

// The language bound to a menu identifier; null for any other identifier.
const LanguageEntry* LanguageByMenuId(int menuId);

// The language name for a value byte; empty outside 0x30 to 0x3A.
std::string_view LanguageName(uint8_t value);

// The value byte of a review answer (02 06 VV 03 LRC): the third byte from
// the end, zero bytes after the last non-zero one not counted. An answer
// whose LRC is 0 ends 02 06 VV 03 once that LRC is dropped with the
// padding: its value is the second byte from the end. Fewer than three
// bytes hold no value and give 0.
uint8_t ReviewValue(std::span<const uint8_t> answer);

enum class ReviewKind { Language, PollingInterval, TurboSpeed };

// The value byte in words as the review shows it: the language name, the
// polling interval in decimal, On or Off for the turbo speed (empty for a
// value without a name).
std::string ReviewValueText(ReviewKind kind, uint8_t value);

// The line a review appends to the exchange record for the value byte, e.g.
// "\r\nCurrent language setting is French".
std::string ReviewLine(ReviewKind kind, uint8_t value);

// "53 <code> 01 <value as two upper-case hexadecimal digits>".
std::string FormatWriteCommand(uint8_t functionCode, uint8_t value);

}  // namespace utility
