#include "dialog_units.h"

#include <QFont>
#include <QFontMetrics>

namespace utility {

QRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height) {
  const QFontMetrics metrics(font);
  // The average width of the 52 letters, as the dialog manager measures it.
  static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int baseX = std::max(1, (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2);
  const int baseY = std::max(1, metrics.height());
  auto px = [](int du, int base, int per) { return (du * base + per / 2) / per; };
  return QRect(px(x, baseX, 4), px(y, baseY, 8), px(width, baseX, 4), px(height, baseY, 8));
}

}  // namespace utility
