#include "ui_common/text_codec.h"

namespace uicommon {
namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::u16string FromLatin1(std::string_view text, LineBreak lineBreak) {
  const std::u16string_view brk = lineBreak == LineBreak::CrLf ? u"\r\n" : u"\n";
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += brk;
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string ToLatin1(std::u16string_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  bool whole = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == u'\r' || u == u'\n' || u == 0x2028 || u == 0x2029) {
      if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += "\r\n";
    } else if (u <= 0xFF) {
      out += static_cast<char>(u);
    } else {
      if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
      out += '?';
      whole = false;
    }
  }
  if (lossless != nullptr) *lossless = whole;
  return out;
}

}  // namespace uicommon
