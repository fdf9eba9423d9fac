#include "setup_icon.h"

#include <QPainter>
#include <QPixmap>

namespace skelmar {

QIcon SetupIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    const QRectF card(0.5 * unit, 3 * unit, 15 * unit, 10 * unit);
    painter.setPen(QPen(QColor(0x20, 0x40, 0x70), unit * 0.75));
    painter.setBrush(QColor(0xE8, 0xF0, 0xFA));
    painter.drawRoundedRect(card, 1.5 * unit, 1.5 * unit);
    painter.fillRect(QRectF(card.left(), 5 * unit, card.width(), 2.5 * unit), QColor(0x18, 0x18, 0x18));
    painter.fillRect(QRectF(2.5 * unit, 9.5 * unit, 6 * unit, 1.2 * unit), QColor(0x20, 0x40, 0x70));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace skelmar
