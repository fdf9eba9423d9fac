#include "text/wide_text.h"

#include <cstdint>


namespace hidhost {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

// Decodes one sequence at text[*pos] and advances *pos past it. A sequence
// broken by a byte that is not a continuation ends before that byte, so the
// byte starts the next one.
char32_t DecodeOne(std::string_view text, size_t* pos, bool* malformed) {
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
    *malformed = true;
    return kReplacement;
  }
  size_t i = *pos + 1;
  for (; i <= *pos + extra; ++i) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
      *pos = i;
      *malformed = true;
      return kReplacement;
    }
    code = (code << 6) | (byte(i) & 0x3F);
  }
  *pos = i;
  if (code < minimum || code > 0x10FFFF || IsSurrogate(code)) {
    *malformed = true;
    return kReplacement;
  }
  return code;
}

void AppendWide(char32_t code, std::wstring* wide) {
  if constexpr (sizeof(wchar_t) >= 4) {
    wide->push_back(static_cast<wchar_t>(code));
  } else if (code >= 0x10000) {  // two UTF-16 units
    wide->push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
    wide->push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
  } else {
    wide->push_back(static_cast<wchar_t>(code));
  }
}

// The code point at text[*pos], advancing *pos past it; where wchar_t is
// UTF-16 a surrogate pair is joined into one.
char32_t NextCodePoint(std::wstring_view text, size_t* pos) {
  char32_t code = static_cast<char32_t>(text[*pos]);
  ++*pos;
  if constexpr (sizeof(wchar_t) == 2) {
    code &= 0xFFFF;
    if (code >= 0xD800 && code <= 0xDBFF && *pos < text.size()) {
      const char32_t low = static_cast<char32_t>(text[*pos]) & 0xFFFF;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        ++*pos;
        return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  if (code > 0x10FFFF || IsSurrogate(code)) return kReplacement;
  return code;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}
}  // namespace

std::wstring WideFromUtf8(std::string_view text, bool* valid) {
  std::wstring wide;
  wide.reserve(text.size());
  bool malformed = false;
  size_t pos = 0;
  while (pos < text.size()) AppendWide(DecodeOne(text, &pos, &malformed), &wide);
  if (valid != nullptr) *valid = !malformed;
  return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) AppendUtf8(NextCodePoint(text, &pos), &out);
  return out;
}

}  // namespace hidhost
