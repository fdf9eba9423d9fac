#include "gui_common/dialog_units.h"

#include <QFont>
#include <QFontMetrics>

#include "ui_common/dialog_units.h"

namespace guicommon {

QRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height) {
  const QFontMetrics metrics(font);
  static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const uicommon::DialogBaseUnits base =
      uicommon::BaseUnitsOf(metrics.horizontalAdvance(kLetters), metrics.height());
  return QRect(uicommon::HorizontalPixels(x, base), uicommon::VerticalPixels(y, base),
               uicommon::HorizontalPixels(width, base), uicommon::VerticalPixels(height, base));
}

}  // namespace guicommon
