#include "wide_copy.h"

#include "hidhost/errors.h"

namespace hidhost {

bool CopyWideString(std::wstring_view text, wchar_t* buffer, size_t bytes) {
  if (buffer == nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  if (bytes / sizeof(wchar_t) < text.size() + 1) {
    SetLastError(kErrorInsufficientBuffer);
    return false;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = L'\0';
  return true;
}

}  // namespace hidhost
