// The programs' texts are 8-bit (Latin-1) with CR LF line ends; Windows
// controls hold UTF-16. These convert at the edge with ui_common's codec,
// byte n <-> U+00nn, as the Qt programs do.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace win32ui {

// Every byte becomes its Latin-1 character; CR LF stays, and a CR or an LF
// alone becomes CR LF (what a multi-line edit control shows as a line break).
std::wstring WideFromLatin1(std::string_view text);

// CR LF stays CR LF; an LF alone, a CR alone and the line and paragraph
// separators (U+2028, U+2029) become CR LF. A character beyond Latin-1
// becomes '?', and `lossless` (when given) is then false, otherwise true.
std::string Latin1FromWide(std::wstring_view text, bool* lossless = nullptr);

// The text of a window or control, as Latin1FromWide gives it.
std::string GetWindowTextLatin1(HWND window, bool* lossless = nullptr);

// The text as typed into a control, or nothing when it holds a character
// beyond Latin-1, which the programs refuse rather than send as '?'.
std::optional<std::string> GetTypedTextLatin1(HWND window);

// Sets the text of a window or control; false when the window refuses it.
bool SetWindowTextLatin1(HWND window, std::string_view text);

}  // namespace win32ui
