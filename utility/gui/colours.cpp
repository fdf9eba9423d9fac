#include "colours.h"

#include <QApplication>
#include <QPalette>

namespace utility {

void ApplyUtilityColours(QApplication& app) {
  QPalette palette = app.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Window, kDialogBackground);
    palette.setColor(group, QPalette::WindowText, kDialogText);
  }
  palette.setColor(QPalette::Disabled, QPalette::Window, kDialogBackground);
  app.setPalette(palette);
}

}  // namespace utility
