#include "wide_text.h"

#include <cstdint>

#include "hidhost/errors.h"

namespace hidhost::hidraw {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one sequence at text[*pos]; advances *pos past what it consumed.
char32_t DecodeOne(const std::string& text, size_t* pos) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(*pos);
  size_t extra;
  char32_t code;
  char32_t minimum;
  if (lead < 0x80) {
    ++*pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, minimum = 0x10000;
  } else {
    ++*pos;
    return kReplacement;
  }
  size_t i = *pos + 1;
  for (; i <= *pos + extra; ++i) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
      *pos = i;
      return kReplacement;
    }
    code = (code << 6) | (byte(i) & 0x3F);
  }
  *pos = i;
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}
}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t code = DecodeOne(text, &pos);
    if constexpr (sizeof(wchar_t) >= 4) {
      wide.push_back(static_cast<wchar_t>(code));
    } else if (code >= 0x10000) {  // two UTF-16 units
      wide.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      wide.push_back(static_cast<wchar_t>(code));
    }
  }
  return wide;
}

bool CopyWideString(const std::wstring& text, wchar_t* buffer, size_t bytes) {
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

}  // namespace hidhost::hidraw
