#include "win32_common/text.h"

#include <vector>

#include "ui_common/text_codec.h"

namespace win32ui {

std::wstring WideFromLatin1(std::string_view text) {
  const std::u16string wide = uicommon::FromLatin1(text, uicommon::LineBreak::CrLf);
  return std::wstring(wide.begin(), wide.end());
}

std::string Latin1FromWide(std::wstring_view text, bool* lossless) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");
  return uicommon::ToLatin1(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), lossless);
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
