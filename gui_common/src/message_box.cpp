#include "gui_common/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace guicommon {

int WidthForCaption(const QString& caption) {
  // Title bars use the desktop's title font, which Qt does not know; a bold
  // application font one fifth larger stands for it, with room for the
  // window icon and three buttons of one title bar height each.
  QFont title = QApplication::font();
  title.setBold(true);
  if (title.pointSizeF() > 0) title.setPointSizeF(title.pointSizeF() * 1.2);
  const QFontMetrics metrics(title);
  const int bar = metrics.height() * 2;
  return metrics.horizontalAdvance(caption) + 4 * bar + 2 * metrics.averageCharWidth();
}

void FitCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  // QMessageBox sizes itself from its layout; a spacer across every column
  // sets the least width that layout asks for.
  const int columns = std::max(1, grid->columnCount());
  grid->addItem(new QSpacerItem(WidthForCaption(box.windowTitle()), 0, QSizePolicy::Minimum,
                                QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, columns);
}

void ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                    const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  FitCaption(box);
  box.exec();
}

}  // namespace guicommon
