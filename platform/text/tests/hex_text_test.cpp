#include "text/hex_text.h"

#include <gtest/gtest.h>

#include <string>

namespace hidhost {
namespace {

TEST(DecodeHexBytes, DecodesBytesOrNamesTheFirstBadToken) {
  struct Case {
    const char* name;
    std::string text;
    HexDigits digits;
    std::vector<uint8_t> bytes;  // when decoded
    size_t offset, length, byteNumber;  // of the bad token otherwise
    bool ok;
  } cases[] = {
      {"pairs, any case", "05 01 a1 FF", HexDigits::kTwo, {0x05, 0x01, 0xA1, 0xFF}, 0, 0, 0, true},
      {"all kinds of white space", "\t01\r\n02\v03\f04 ", HexDigits::kTwo, {1, 2, 3, 4}, 0, 0, 0, true},
      {"nothing but white space", " \n ", HexDigits::kTwo, {}, 0, 0, 0, true},
      {"single digits where allowed", "2 52 f", HexDigits::kOneOrTwo, {0x02, 0x52, 0x0F}, 0, 0, 0, true},
      {"single digit where pairs are needed", "05 1 02", HexDigits::kTwo, {}, 3, 1, 2, false},
      {"three digits", "05 012", HexDigits::kOneOrTwo, {}, 3, 3, 2, false},
      {"pairs run together", "0501", HexDigits::kTwo, {}, 0, 4, 1, false},
      {"bad second digit", "01 02 FG", HexDigits::kOneOrTwo, {}, 6, 2, 3, false},
      {"bad single digit", "  x", HexDigits::kOneOrTwo, {}, 2, 1, 1, false},
      {"prefix", "0x05", HexDigits::kTwo, {}, 0, 4, 1, false},
      {"raw descriptor bytes", std::string("\x05\x01\xA1\x01", 4), HexDigits::kTwo, {}, 0, 4, 1, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes{0xEE};
    HexTextError error;
    EXPECT_EQ(DecodeHexBytes(c.text, c.digits, &bytes, &error), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(bytes, c.bytes) << c.name;
    } else {
      EXPECT_EQ(error.offset, c.offset) << c.name;
      EXPECT_EQ(error.length, c.length) << c.name;
      EXPECT_EQ(error.byteNumber, c.byteNumber) << c.name;
    }
  }
}

// The command box's reader never refuses: what is not a digit counts as 0.
TEST(DecodeHexPairs, TakesEveryPairAndAnythingForAZero) {
  const std::pair<std::string, std::vector<uint8_t>> cases[] = {
      {"5224", {0x52, 0x24}},
      {"aBcD", {0xAB, 0xCD}},
      {"522", {0x52}},  // the odd last digit is dropped
      {"7", {}},
      {"G11G", {0x01, 0x10}},
      {"/:@`", {0x00, 0x00}},  // the neighbours of each digit range
      {"gz", {0x00}},
      {std::string("\xC1\0", 2), {0x00}},
      {"09AFaf", {0x09, 0xAF, 0xAF}},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(DecodeHexPairs(text), bytes) << text;
}

TEST(FormatHexBytes, SeparatesOrEndsEachByteWithASpace) {
  const std::vector<uint8_t> bytes = {0x06, 0x41, 0x0A, 0xFF};
  EXPECT_EQ(FormatHexBytes(bytes), "06 41 0A FF");
  EXPECT_EQ(HexBytesEachSpaced(bytes), "06 41 0A FF ");
  EXPECT_EQ(FormatHexBytes({}), "");
  EXPECT_EQ(HexBytesEachSpaced({}), "");
}

}  // namespace
}  // namespace hidhost
