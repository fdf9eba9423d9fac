// Pelorin, the configuration utility for KAVRO USB KB readers.
#include <QApplication>

#include "utility_app.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The installed desktop entry, so that the desktop shows its name and icon
  // for the window.
  QApplication::setDesktopFileName(QStringLiteral("org.cardreadersuite.Pelorin"));
  utility::UtilityApp utilityApp(app);
  utilityApp.Run();
  return 0;
}
