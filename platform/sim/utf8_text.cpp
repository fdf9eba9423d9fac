#include "utf8_text.h"

#include <cstdint>

namespace hidhost::sim {

bool Utf8ToWide(const std::string& text, std::wstring* wide) {
  wide->clear();
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    size_t extra;
    uint32_t cp;
    if (lead < 0x80) { extra = 0; cp = lead; }
    else if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else return false;
    if (i + extra >= text.size()) return false;  // the sequence is cut off
    for (size_t k = 1; k <= extra; ++k) {
      const uint8_t b = static_cast<uint8_t>(text[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if constexpr (sizeof(wchar_t) == 2) {
      if (cp >= 0x10000) {
        cp -= 0x10000;
        wide->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        wide->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        i += extra + 1;
        continue;
      }
    }
    wide->push_back(static_cast<wchar_t>(cp));
    i += extra + 1;
  }
  return true;
}

}  // namespace hidhost::sim
