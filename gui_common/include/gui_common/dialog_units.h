// Dialog units to pixels for a Qt font, as the dialog manager sizes a
// template (ui_common's conversion on the font's measures).
#pragma once

#include <QRect>

class QFont;

namespace guicommon {

QRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height);

}  // namespace guicommon
