// Wide strings into callers' buffers, as every backend's string calls give
// them.
#pragma once

#include <cstddef>
#include <string_view>

namespace hidhost {

// Copies `text` with its terminating NUL into `buffer` of `bytes` bytes.
// False with 122 (insufficient buffer) when it does not fit, 87 (invalid
// parameter) for a null buffer; the buffer is left alone then.
bool CopyWideString(std::wstring_view text, wchar_t* buffer, size_t bytes);

}  // namespace hidhost
