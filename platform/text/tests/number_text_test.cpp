#include "text/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace hidhost {
namespace {

TEST(ReadDecimalOrHex, ReadsOneFormOrRefuses) {
  struct Case {
    std::string text;
    uint64_t max;
    size_t maxDigits;
    std::optional<uint64_t> value;
  } cases[] = {
      {"0", 255, SIZE_MAX, 0},
      {"255", 255, SIZE_MAX, 255},
      {"256", 255, SIZE_MAX, std::nullopt},
      {"0xFF", 255, SIZE_MAX, 255},
      {"0Xff", 255, SIZE_MAX, 255},
      {"0x100", 255, SIZE_MAX, std::nullopt},
      {"0x", 255, SIZE_MAX, std::nullopt},      // no prefix without digits
      {"", 255, SIZE_MAX, std::nullopt},
      {"ff", 255, SIZE_MAX, std::nullopt},      // hex needs its prefix
      {"010", 255, SIZE_MAX, 10},               // never octal
      {"-1", 255, SIZE_MAX, std::nullopt},
      {" 1", 255, SIZE_MAX, std::nullopt},
      {"0xFFFFFFFFFFFFFFFF", UINT64_MAX, SIZE_MAX, UINT64_MAX},
      {"18446744073709551616", UINT64_MAX, SIZE_MAX, std::nullopt},  // would wrap
      {"7", 0, SIZE_MAX, std::nullopt},
      {"0x0000000000000001", 255, 16, 1},
      {"00000000000000001", 255, 16, std::nullopt},  // too many digits
  };
  for (const Case& c : cases) EXPECT_EQ(ReadDecimalOrHex(c.text, c.max, c.maxDigits), c.value) << c.text;
}

}  // namespace
}  // namespace hidhost
