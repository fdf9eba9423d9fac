// The setup tool's dialog: the controls of the setup dialog built from its
// control table, each forwarding its events to the controller (SetupDialog),
// the 500 ms sending timer, and the keyboard sink through which a simulated
// reader's typing reaches the focused control.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "skelmar/dialog_window.h"
#include "skelmar/prompts.h"
#include "skelmar/setup_dialog.h"

class QCloseEvent;

namespace skelmar {

class SetupWindow : public QDialog, public DialogWindow {
  Q_OBJECT

 public:
  using ControllerFactory =
      std::function<std::unique_ptr<SetupDialog>(DialogWindow& window, Prompts& prompts)>;

  // Real: a QTimer drives the sending ticks. Manual: the timer only records
  // that it runs, and the caller calls the controller's SendTimerTick (tests,
  // in virtual time).
  enum class TimerMode { Real, Manual };

  explicit SetupWindow(Prompts& prompts, TimerMode timerMode = TimerMode::Real);
  ~SetupWindow() override;

  // Creates and initialises the controller. When that throws, shows the
  // exception's text (or "Unknown") in a box captioned "Exception" and
  // returns false; the dialog then has no controller.
  bool Initialise(const ControllerFactory& create = DefaultController);
  static std::unique_ptr<SetupDialog> DefaultController(DialogWindow& window, Prompts& prompts);

  SetupDialog* Controller() { return controller_.get(); }
  QWidget* ControlWidget(Control id) const;
  bool SendTimerRunning() const { return timerRunning_; }
  uint32_t SendTimerPeriod() const { return timerPeriod_; }
  const QTimer& SendTimer() const { return sendTimer_; }

  // DialogWindow
  std::string Text(Control id) const override;
  std::optional<std::string> TypedText(Control id) const override;
  void SetText(Control id, const std::string& text) override;
  void Enable(Control id, bool enabled) override;
  void Focus(Control id) override;
  void StartSendTimer(uint32_t periodMs) override;
  void StopSendTimer() override;
  void PostClose() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape does not close the tool

 private:
  void BuildControls();
  void Forward(Control id, int notification);
  void TypeIntoFocus(const std::string& text);

  Prompts& prompts_;
  TimerMode timerMode_;
  QTimer sendTimer_;
  bool timerRunning_ = false;
  uint32_t timerPeriod_ = 0;
  std::map<Control, QWidget*> controls_;
  std::unique_ptr<SetupDialog> controller_;
};

}  // namespace skelmar
