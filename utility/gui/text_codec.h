// The utility's texts are 8-bit with CR LF line ends; Qt widgets hold
// Unicode with LF. These two convert between them, Latin-1 both ways.
#pragma once

#include <QString>
#include <string>

namespace utility {

// CR LF becomes LF; every byte is its Latin-1 character.
QString ToDisplayText(const std::string& text);

// LF (and the paragraph separator of rich edits) becomes CR LF; characters
// beyond Latin-1 become '?'.
std::string FromDisplayText(const QString& text);

}  // namespace utility
