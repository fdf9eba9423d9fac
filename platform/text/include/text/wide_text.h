// Text between UTF-8 and the wide characters of device strings (UTF-32 where
// wchar_t has 32 bits, UTF-16 where it has 16).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hidhost {

// UTF-8 to wide characters. Each malformed sequence (a stray or cut-off byte,
// an overlong form, a surrogate, a value beyond U+10FFFF) becomes U+FFFD;
// `valid`, when given, tells whether the text had none.
std::wstring WideFromUtf8(std::string_view text, bool* valid = nullptr);

// Wide characters to UTF-8. A surrogate that is not half of a pair and a
// value beyond U+10FFFF become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

}  // namespace hidhost
