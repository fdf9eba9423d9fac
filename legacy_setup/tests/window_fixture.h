// A setup dialog on a simulated host in virtual time: real widgets, scripted
// prompts, and the sending timer driven by the test.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "setup_window.h"
#include "sim_reader.h"
#include "scripted_prompts.h"

namespace skelmar_test {

// Creates the process's QApplication on first use.
void EnsureApplication();

// What reached the setup item at one moment of virtual time.
struct TimedWrites {
  uint64_t atMs;
  std::string text;
  bool operator==(const TimedWrites&) const = default;
};

class WindowTest : public SimReaderTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the dialog with the default controller and shows it.
  void OpenDialog(skelmar::SetupWindow::TimerMode mode = skelmar::SetupWindow::TimerMode::Manual);

  QWidget* Widget(skelmar::Control id) const { return window_->ControlWidget(id); }
  QLineEdit* Input() const;
  QPlainTextEdit* Box(skelmar::Control id) const;
  std::string Text(skelmar::Control id) const { return window_->Text(id); }
  bool Enabled(skelmar::Control id) const { return Widget(id)->isEnabled(); }
  // How many of the input box, Clear input, Send and Send File are enabled.
  int SendingControlsEnabled() const;
  void Type(const std::string& text);
  void Click(skelmar::Control id);
  std::string Status() const { return Text(skelmar::Control::Status); }

  // Runs the sending timer in virtual time until it stops, returning the
  // writes of every tick, timed, and delivering posted events (the reader's
  // typing) after each tick.
  std::vector<TimedWrites> RunTimer();
  // One tick: the time it ran at and what it wrote.
  TimedWrites Tick();

  skelmar::ScriptedPrompts prompts_;
  std::unique_ptr<skelmar::SetupWindow> window_;
};

}  // namespace skelmar_test
