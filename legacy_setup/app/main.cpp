// skelmar: the setup tool for readers of the older generation.
#include <QApplication>
#include <iostream>

#include "gui_common/desktop_check.h"
#include "qt_prompts.h"
#include "skelmar/setup_dialog.h"
#include "startup.h"

int main(int argc, char** argv) {
  if (!guicommon::CheckDesktop("skelmar", std::cerr)) return 1;
  QApplication app(argc, argv);
  // The installed desktop entry, so that the desktop shows its name and icon
  // for the window.
  QApplication::setDesktopFileName(QStringLiteral("org.cardreadersuite.Skelmar"));
  skelmar::QtPrompts prompts(skelmar::kBatchFileFilter);
  return skelmar::RunSetupTool(prompts);
}
