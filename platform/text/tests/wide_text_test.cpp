#include "text/wide_text.h"

#include <gtest/gtest.h>


namespace hidhost {
namespace {

TEST(WideFromUtf8, DecodesAndReplacesWhatIsMalformed) {
  struct Case {
    const char* name;
    std::string utf8;
    std::wstring wide;
    bool valid;
  } cases[] = {
      {"empty", "", L"", true},
      {"ascii", "Reader 1", L"Reader 1", true},
      {"two, three and four bytes", "\xC3\xB6\xE2\x82\xAC\xF0\x9F\x92\xB3", L"\u00f6\u20ac\U0001F4B3",
       true},
      {"replacement character itself", "\xEF\xBF\xBD", L"\uFFFD", true},
      {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3), true},
      {"lone continuation byte", "a\x80z", L"a\uFFFDz", false},
      {"sequence cut by the end", "ab\xE2\x82", L"ab\uFFFD", false},
      {"sequence cut by another lead", "\xE2\x82" "A", L"\uFFFDA", false},
      {"overlong slash", "\xC0\xAF", L"\uFFFD", false},
      {"surrogate half", "\xED\xA0\x80", L"\uFFFD", false},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD", false},
      {"invalid lead byte", "\xFF", L"\uFFFD", false},
  };
  for (const Case& c : cases) {
    bool valid = !c.valid;
    EXPECT_EQ(WideFromUtf8(c.utf8, &valid), c.wide) << c.name;
    EXPECT_EQ(valid, c.valid) << c.name;
  }
}

TEST(Utf8FromWide, EncodesAndReplacesWhatHasNoUtf8Form) {
  struct Case {
    const char* name;
    std::wstring wide;
    std::string utf8;
  } cases[] = {
      {"ascii", L"Reader 1", "Reader 1"},
      {"two, three and four bytes", L"\u00f6\u20ac\U0001F4B3", "\xC3\xB6\xE2\x82\xAC\xF0\x9F\x92\xB3"},
      {"lone surrogate", std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x", "\xEF\xBF\xBDx"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.name;
  if constexpr (sizeof(wchar_t) >= 4) {
    EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
  }
}

TEST(Utf8FromWide, RoundTripsEveryKindOfCodePoint) {
  const std::wstring text = L"A\u007F\u0080\u07FF\u0800\uFFFD\U00010000\U0010FFFF";
  EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
}

}  // namespace
}  // namespace hidhost
