// Device strings in the host layer's wide-character form.
#pragma once

#include <cstddef>
#include <string>

namespace hidhost::hidraw {

// UTF-8 to wide characters; each malformed sequence becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& text);

// Copies `text` with its terminating NUL into `buffer` of `bytes` bytes.
// False with 122 when it does not fit, 87 for a null buffer.
bool CopyWideString(const std::wstring& text, wchar_t* buffer, size_t bytes);

}  // namespace hidhost::hidraw
