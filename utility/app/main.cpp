// Pelorin, the configuration utility for KAVRO USB KB readers.
#include <QApplication>
#include <iostream>

#include "gui_common/desktop_check.h"
#include "utility_app.h"

int main(int argc, char** argv) {
  if (!guicommon::CheckDesktop("pelorin", std::cerr)) return 1;
  QApplication app(argc, argv);
  // The installed desktop entry, so that the desktop shows its name and icon
  // for the window.
  QApplication::setDesktopFileName(QStringLiteral("org.cardreadersuite.Pelorin"));
  utility::UtilityApp utilityApp(app);
  utilityApp.Run();
  return 0;
}
