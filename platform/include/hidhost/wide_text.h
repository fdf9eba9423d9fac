// Text between UTF-8 and the host layer's wide characters (UTF-32 where
// wchar_t has 32 bits, UTF-16 where it has 16).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "hidhost/export.h"

namespace hidhost {

// UTF-8 to wide characters. Each malformed sequence (a stray or cut-off byte,
// an overlong form, a surrogate, a value beyond U+10FFFF) becomes U+FFFD;
// `valid`, when given, tells whether the text had none.
HIDHOST_API std::wstring WideFromUtf8(std::string_view text, bool* valid = nullptr);

// Wide characters to UTF-8. A surrogate that is not half of a pair and a
// value beyond U+10FFFF become U+FFFD.
HIDHOST_API std::string Utf8FromWide(std::wstring_view text);

// Copies `text` with its terminating NUL into `buffer` of `bytes` bytes.
// False with 122 (insufficient buffer) when it does not fit, 87 (invalid
// parameter) for a null buffer; the buffer is left alone then.
HIDHOST_API bool CopyWideString(std::wstring_view text, wchar_t* buffer, size_t bytes);

}  // namespace hidhost
