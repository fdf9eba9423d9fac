// Pelorin, the configuration utility for KAVRO USB KB readers.
#include <QApplication>

#include "utility_app.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  utility::UtilityApp utilityApp(app);
  utilityApp.Run();
  return 0;
}
