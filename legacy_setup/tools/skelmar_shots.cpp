// skelmar-shots: renders the setup dialog offscreen against the simulated
// legacy reader and saves it as a PNG, for the user documentation.
//
//   QT_QPA_PLATFORM=offscreen skelmar-shots [output folder]
//
// The picture shows one string sent (History, and the reader's reply in the
// Response box) and a second one half way out.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <memory>

#include "hidhost/sim.h"
#include "qt_prompts.h"
#include "setup_window.h"
#include "skelmar/setup_dialog.h"

namespace {

void Tick(skelmar::SetupWindow& window, hidhost::sim::VirtualClock& clock) {
  clock.AdvanceMs(window.SendTimerPeriod());
  window.Controller()->SendTimerTick();
  QCoreApplication::processEvents();
}

void TypeAndSend(skelmar::SetupWindow& window, const std::string& text) {
  window.SetText(skelmar::Control::Input, text);
  window.Controller()->HandleCommand(skelmar::Control::Send, skelmar::kClicked);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "skelmar-shots: cannot create %s\n", qPrintable(folder));
    return 1;
  }

  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  if (!hidhost::sim::InstallSimulatedHost("legacy-reader", clock, &error)) {
    std::fprintf(stderr, "skelmar-shots: %s\n", error.c_str());
    return 1;
  }

  skelmar::QtPrompts prompts(skelmar::kBatchFileFilter);  // nothing asks: no dialog is built
  int result = 0;
  {
    skelmar::SetupWindow window(prompts, skelmar::SetupWindow::TimerMode::Manual);
    if (!window.Initialise()) return 1;
    window.show();
    QCoreApplication::processEvents();

    TypeAndSend(window, "K0");
    while (window.SendTimerRunning()) Tick(window, *clock);
    TypeAndSend(window, "T1");
    Tick(window, *clock);

    const QString path = QDir(folder).filePath(QStringLiteral("skelmar.png"));
    if (window.grab().save(path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      std::fprintf(stderr, "skelmar-shots: cannot write %s\n", qPrintable(path));
      result = 1;
    }
    while (window.SendTimerRunning()) Tick(window, *clock);  // the reader is closed again
  }
  hidhost::InstallHost(nullptr);
  hidhost::InstallServices(nullptr);
  return result;
}
