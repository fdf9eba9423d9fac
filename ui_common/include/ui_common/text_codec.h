// The programs' texts are 8-bit (Latin-1) with CR LF line ends; windows and
// widgets hold UTF-16. These convert at the edge, byte n <-> U+00nn, so that
// what a control shows does not depend on the system's code page, and the
// same text gives the same bytes with every toolkit.
#pragma once

#include <string>
#include <string_view>

namespace uicommon {

// The line break a toolkit's multi-line controls hold: Qt's LF, Windows'
// CR LF.
enum class LineBreak { Lf, CrLf };

// Every byte becomes its Latin-1 character; CR LF, a CR alone and an LF
// alone each become one `lineBreak`.
std::u16string FromLatin1(std::string_view text, LineBreak lineBreak);

// CR LF, a CR alone, an LF alone and the line and paragraph separators
// (U+2028, U+2029, which Shift+Enter inserts) each become CR LF. A character
// beyond Latin-1 becomes one '?' (a surrogate pair is one character), and
// `lossless` (when given) is then false, otherwise true.
std::string ToLatin1(std::u16string_view text, bool* lossless = nullptr);

}  // namespace uicommon
