// The programs' texts are 8-bit (Latin-1) with CR LF line ends; Qt widgets
// hold Unicode with LF. These convert between the two with ui_common's
// codec, which the Windows programs use too.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace guicommon {

// CR LF, and a CR alone, become LF; every byte is its Latin-1 character.
QString ToDisplayText(const std::string& text);

// LF and the line and paragraph separators (U+2028, U+2029, which Shift+Enter
// and rich edits insert) become CR LF; a character beyond Latin-1 becomes
// one '?'.
std::string FromDisplayText(const QString& text);

// As FromDisplayText, but nothing when the text holds a character beyond
// Latin-1: typed text that cannot go to a reader as it stands.
std::optional<std::string> FromTypedText(const QString& text);

}  // namespace guicommon
