// Bytes as hex text and back: "05 01 09 06" in descriptor and device files,
// "2 52 24 3 77" where one digit is enough, and the command box's hex text
// as the operator types it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hidhost {

// "05 01 A1": two upper-case digits per byte, one space between bytes.
std::string FormatHexBytes(std::span<const uint8_t> bytes);
inline std::string FormatHexBytes(const uint8_t* data, size_t length) {
  return FormatHexBytes(std::span<const uint8_t>(data, length));
}

// "05 01 A1 ": each byte as "%02X " writes it, the last one too.
std::string HexBytesEachSpaced(std::span<const uint8_t> bytes);

// 0-9, A-F and a-f give 0 to 15; every other character -1.
int HexDigitValue(char c);

// The strict reader.
enum class HexDigits {
  kTwo,       // every byte is two hex digits
  kOneOrTwo,  // a byte may also be a single digit
};

// Where decoding stopped: the token that is not a byte.
struct HexTextError {
  size_t offset = 0;      // of the token's first character in the text
  size_t length = 0;      // of the token, up to the next whitespace
  size_t byteNumber = 0;  // 1-based number of the byte the token stood for
};

// Decodes whitespace-separated (space, tab, CR, LF, VT, FF) hex bytes into
// `bytes`. False, with `error` filled in when given, at the first token that
// is not a byte in the form `digits` allows.
bool DecodeHexBytes(std::string_view text, HexDigits digits, std::vector<uint8_t>* bytes,
                    HexTextError* error = nullptr);

// The lenient reader, for hex text typed into a command box (white space
// already taken out): 0-9, A-F and a-f give 0 to 15, every other character
// 0, so nothing is ever refused.
uint8_t LenientHexDigit(char c);
// Each pair of characters as one byte, "G1" as 0x01 and "1G" as 0x10; an odd
// last character is ignored.
std::vector<uint8_t> DecodeHexPairs(std::string_view text);

}  // namespace hidhost
