// Renders Pelorin's screens to PNG files: the waiting screen, a current
// reader (command panel), an older reader (Launch), an unknown reader and
// the history after Review Foreign Language. Each screen is built the way
// the program builds it, on the simulated host in virtual time.
//
// Usage: pelorin_screenshots <output folder>
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "colours.h"
#include "qt_prompter.h"
#include "hidhost/sim.h"
#include "reader_link/reader_device.h"
#include "utility/control_ids.h"
#include "utility/reader_detection.h"
#include "utility_app.h"

namespace {

using utility::UtilityDialog;

// Builds the dialog on `preset`, lets `prepare` bring it into its state and
// saves what it shows. False when the host or the file cannot be made.
bool Render(const QDir& folder, const char* file, const char* preset,
            const std::function<void(UtilityDialog&)>& prepare) {
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  if (!hidhost::sim::InstallSimulatedHost(preset, clock, &error)) {
    std::fprintf(stderr, "%s: %s\n", preset, error.c_str());
    return false;
  }

  utility::Session session;
  utility::QtPrompter prompter;  // no screen asks anything
  bool saved = false;
  {
    UtilityDialog dialog(session, prompter);
    dialog.Timer().stop();
    utility::UtilityHandlers handlers = utility::AttachHandlers(dialog);
    dialog.show();
    prepare(dialog);
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(file));
    saved = dialog.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
  }
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  utility::ApplyUtilityColours(app);
  QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot make the folder %s\n", argv[1]);
    return 1;
  }

  bool ok = true;
  ok &= Render(folder, "pelorin-waiting.png", "none", [](UtilityDialog& d) { d.DispatchTimerTick(); });
  ok &= Render(folder, "pelorin-current-reader.png", "reader", [](UtilityDialog& d) { d.DispatchTimerTick(); });
  ok &= Render(folder, "pelorin-older-reader.png", "legacy-reader",
               [](UtilityDialog& d) { d.DispatchTimerTick(); });
  // A found reader always has one of the two known products, so this screen
  // is shown with the text detection puts there for any other generation.
  ok &= Render(folder, "pelorin-unknown-reader.png", "none", [](UtilityDialog& d) {
    d.SetText(utility::ControlId::StatusLine, utility::kUnknownReaderStatus);
  });
  ok &= Render(folder, "pelorin-review-language.png", "reader", [](UtilityDialog& d) {
    d.DispatchTimerTick();
    d.controller().RouteCommand(utility::menu::ReviewLanguage);
  });
  return ok ? 0 : 1;
}
