#include "win32_common/text.h"

#include <vector>

namespace win32ui {

std::wstring WideFromLatin1(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      wide += L"\r\n";
    } else if (c == '\n') {
      wide += L"\r\n";
    } else {
      wide += static_cast<wchar_t>(c);
    }
  }
  return wide;
}

std::string Latin1FromWide(std::wstring_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  bool whole = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t u = text[i];
    if (u == L'\r') {
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += "\r\n";
    } else if (u == L'\n' || u == 0x2028 || u == 0x2029) {
      out += "\r\n";
    } else if (u <= 0xFF) {
      out += static_cast<char>(u);
    } else {
      // A pair of surrogates is one character: one '?'.
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        ++i;
      }
      out += '?';
      whole = false;
    }
  }
  if (lossless != nullptr) *lossless = whole;
  return out;
}

std::string GetWindowTextLatin1(HWND window, bool* lossless) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) {
    if (lossless != nullptr) *lossless = true;
    return {};
  }
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return Latin1FromWide(std::wstring_view(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0),
                        lossless);
}

std::optional<std::string> GetTypedTextLatin1(HWND window) {
  bool lossless = true;
  std::string text = GetWindowTextLatin1(window, &lossless);
  if (!lossless) return std::nullopt;
  return text;
}

bool SetWindowTextLatin1(HWND window, std::string_view text) {
  return SetWindowTextW(window, WideFromLatin1(text).c_str()) != 0;
}

}  // namespace win32ui
