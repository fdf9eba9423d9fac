// startup-time [RUNS]: measures, side by side, the time from a program's
// start to the first paint of its window, for Skelmar (on the simulated
// legacy reader), for Skelmar with its file dialog built before the window
// (as it was), and for two minimal dialogs of the same size: a bare QDialog,
// and one with a label and a button (the first text a process draws loads
// the font database, which a bare dialog never does). Each start is a fresh
// process, so that nothing is cached from an earlier one; the kinds
// alternate, and the medians and their ratios are printed. The exit status
// is 3 when Skelmar takes more than 1.2 times the dialog with a label.
//
// Runs on the platform in QT_QPA_PLATFORM (offscreen when unset).
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "qt_prompts.h"
#include "skelmar/setup_dialog.h"
#include "startup.h"

namespace {

// Quits the event loop at the first paint of the watched window and keeps
// the time it took since the process started.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& since) : since_(since) {}
  qint64 microseconds = -1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && microseconds < 0) {
      microseconds = since_.nsecsElapsed() / 1000;
      QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& since_;
};

int RunChild(const QElapsedTimer& since, int argc, char** argv, const std::string& kind) {
  QApplication app(argc, argv);
  FirstPaint paint(since);
  if (kind.rfind("minimal", 0) != 0) {
    // For comparison: the file dialog built before the window, as Skelmar
    // did before it built it on first use.
    std::unique_ptr<QFileDialog> eager;
    if (kind == "skelmar-eager") eager = std::make_unique<QFileDialog>();
    // Skelmar's own start-up path, as its main() runs it.
    skelmar::QtPrompts prompts(skelmar::kBatchFileFilter);
    skelmar::StartupHooks hooks;
    hooks.createWindow = [&](skelmar::Prompts& p) {
      auto window = std::make_unique<skelmar::SetupWindow>(p);
      window->installEventFilter(&paint);
      return window;
    };
    skelmar::RunSetupTool(prompts, hooks);
  } else {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Minimal"));
    dialog.resize(550, 460);
    if (kind == "minimal-label") {
      // The least a dialog says: one line of text and a button. The first
      // text loads the font database, which a bare dialog never does.
      auto* layout = new QVBoxLayout(&dialog);
      layout->addWidget(new QLabel(QStringLiteral("Ready"), &dialog));
      layout->addWidget(new QPushButton(QStringLiteral("OK"), &dialog));
    }
    dialog.installEventFilter(&paint);
    dialog.show();
    QApplication::exec();
  }
  std::printf("%lld\n", static_cast<long long>(paint.microseconds));
  return paint.microseconds < 0 ? 1 : 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One child run; its time in milliseconds, or a negative value.
double RunOnce(const QString& program, const char* kind) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("HID_SIMULATION"), QStringLiteral("legacy-reader"));
  child.setProcessEnvironment(env);
  child.start(program, {QStringLiteral("--child"), QString::fromLatin1(kind)});
  if (!child.waitForFinished(60000) || child.exitCode() != 0) return -1;
  bool ok = false;
  const double us = child.readAllStandardOutput().trimmed().toDouble(&ok);
  return ok ? us / 1000.0 : -1;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer since;
  since.start();
  if (argc == 3 && std::string(argv[1]) == "--child") {
    return RunChild(since, argc, argv, argv[2]);
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  QCoreApplication app(argc, argv);
  const QString self = QCoreApplication::applicationFilePath();
  const char* kinds[] = {"minimal", "minimal-label", "skelmar", "skelmar-eager"};
  const char* labels[] = {"minimal QDialog", "QDialog with a label and a button", "skelmar",
                          "skelmar, file dialog built at start"};
  std::vector<double> times[4];
  for (const char* kind : kinds) RunOnce(self, kind);  // warms the disk cache
  for (int i = 0; i < runs; ++i) {
    for (int k = 0; k < 4; ++k) {
      const double t = RunOnce(self, kinds[k]);
      if (t < 0) {
        std::fprintf(stderr, "startup-time: a %s run failed\n", kinds[k]);
        return 1;
      }
      times[k].push_back(t);
    }
  }
  const double m = Median(times[0]), l = Median(times[1]), s = Median(times[2]);
  std::printf("start-up to first paint, median of %d fresh processes each\n", runs);
  std::printf("  %-36s %8s  %8s  %8s\n", "", "ms", "/minimal", "/label");
  for (int k = 0; k < 4; ++k) {
    const double t = Median(times[k]);
    std::printf("  %-36s %8.1f  %8.2f  %8.2f\n", labels[k], t, t / m, t / l);
  }
  (void)m;
  return s / l <= 1.2 ? 0 : 3;
}
