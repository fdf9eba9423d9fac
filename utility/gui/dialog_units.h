// Dialog units to pixels, as the dialog manager sizes a template.
#pragma once

#include <QRect>

class QFont;

namespace utility {

// Dialog units to pixels for `font`: a horizontal unit is a quarter of the
// average letter width, a vertical unit an eighth of the line height.
QRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height);

}  // namespace utility
