#include "window_fixture.h"

#include <QApplication>
#include <QTest>

namespace skelmar_test {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "skelmar_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

void WindowTest::SetUp() {
  EnsureApplication();
  InstallPreset("legacy-reader");
}

void WindowTest::TearDown() {
  window_.reset();
  QCoreApplication::processEvents();
  SimReaderTest::TearDown();
}

void WindowTest::OpenDialog(skelmar::SetupWindow::TimerMode mode) {
  window_ = std::make_unique<skelmar::SetupWindow>(prompts_, mode);
  ASSERT_TRUE(window_->Initialise());
  window_->show();
  window_->activateWindow();
  QCoreApplication::processEvents();
}

QLineEdit* WindowTest::Input() const {
  return qobject_cast<QLineEdit*>(Widget(skelmar::Control::Input));
}

QPlainTextEdit* WindowTest::Box(skelmar::Control id) const {
  return qobject_cast<QPlainTextEdit*>(Widget(id));
}

int WindowTest::SendingControlsEnabled() const {
  int enabled = 0;
  for (skelmar::Control id : {skelmar::Control::Input, skelmar::Control::ClearInput,
                              skelmar::Control::Send, skelmar::Control::SendFile})
    enabled += Enabled(id) ? 1 : 0;
  return enabled;
}

void WindowTest::Type(const std::string& text) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      QTest::keyClick(Input(), c);
    } else {
      const QString typed(QChar(static_cast<char16_t>(code)));
      QTest::sendKeyEvent(QTest::Press, Input(), Qt::Key_unknown, typed, Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, Input(), Qt::Key_unknown, typed, Qt::NoModifier);
    }
  }
}

void WindowTest::Click(skelmar::Control id) {
  qobject_cast<QPushButton*>(Widget(id))->click();
  QCoreApplication::processEvents();
}

TimedWrites WindowTest::Tick() {
  clock_->AdvanceMs(window_->SendTimerPeriod());
  const uint64_t at = clock_->NowMs();
  window_->Controller()->SendTimerTick();
  QCoreApplication::processEvents();
  return {at, TakeWrittenText()};
}

std::vector<TimedWrites> WindowTest::RunTimer() {
  std::vector<TimedWrites> timeline;
  for (int ticks = 0; window_->SendTimerRunning() && ticks < 10000; ++ticks) {
    TimedWrites written = Tick();
    if (!written.text.empty()) timeline.push_back(written);
  }
  return timeline;
}

}  // namespace skelmar_test

// Fontconfig, which Qt's offscreen platform loads, keeps caches it never
// frees; the leak checker of sanitizer builds is told to pass over them.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
