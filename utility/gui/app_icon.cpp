#include "app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace utility {

QIcon UtilityIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    // The card, with its magnetic stripe.
    painter.setBrush(QColor(255, 255, 255));
    painter.setPen(QPen(QColor(0, 0, 255), unit));
    painter.drawRoundedRect(QRectF(1.5 * unit, 3 * unit, 11 * unit, 8 * unit), unit, unit);
    painter.fillRect(QRectF(2 * unit, 5 * unit, 10 * unit, 2 * unit), QColor(40, 40, 40));
    // The reader's slot.
    painter.setBrush(QColor(150, 200, 255));
    painter.drawRect(QRectF(9 * unit, 9 * unit, 6 * unit, 5.5 * unit));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace utility
