#include "wide_text.h"

#include <gtest/gtest.h>

#include "hidhost/errors.h"

namespace hidhost::hidraw {
namespace {

TEST(WideFromUtf8, DecodesAndReplacesWhatIsMalformed) {
  struct Case {
    const char* name;
    std::string utf8;
    std::wstring wide;
  } cases[] = {
      {"ascii", "Reader 1", L"Reader 1"},
      {"two, three and four bytes", "\xC3\xB6\xE2\x82\xAC\xF0\x9F\x92\xB3", L"\u00f6\u20ac\U0001F4B3"},
      {"lone continuation byte", "a\x80z", L"a\uFFFDz"},
      {"sequence cut by the end", "ab\xE2\x82", L"ab\uFFFD"},
      {"sequence cut by another lead", "\xE2\x82" "A", L"\uFFFDA"},
      {"overlong slash", "\xC0\xAF", L"\uFFFD"},
      {"surrogate half", "\xED\xA0\x80", L"\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD"},
      {"invalid lead byte", "\xFF", L"\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.name;
}

TEST(CopyWideString, NeedsRoomForTheTerminator) {
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_TRUE(CopyWideString(L"abc", buffer, sizeof buffer));
  EXPECT_EQ(std::wstring(buffer), L"abc");
  EXPECT_FALSE(CopyWideString(L"abcd", buffer, sizeof buffer));
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_FALSE(CopyWideString(L"", nullptr, 16));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace hidhost::hidraw
