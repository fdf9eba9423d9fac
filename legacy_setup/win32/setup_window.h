// The setup tool's dialog on Windows: the modeless dialog of template 200,
// its dialog procedure forwarding commands and timer ticks to the controller
// (SetupDialog), the 500 ms sending timer, and the keyboard sink through
// which a simulated reader's typing reaches the focused control.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "skelmar/dialog_window.h"
#include "skelmar/prompts.h"
#include "skelmar/setup_dialog.h"

namespace skelmar {

constexpr int kSetupDialogTemplate = 200;
constexpr int kSetupIcon = 300;
constexpr UINT_PTR kSendTimerId = 0;

class Win32SetupWindow : public DialogWindow {
 public:
  using ControllerFactory =
      std::function<std::unique_ptr<SetupDialog>(DialogWindow& window, Prompts& prompts)>;

  // Real: the system timer sends WM_TIMER every period. Manual: the timer
  // only records that it runs, and the caller sends WM_TIMER (tests, in
  // virtual time).
  enum class TimerMode { Real, Manual };

  struct Options {
    TimerMode timerMode = TimerMode::Real;
    ControllerFactory createController = DefaultController;
    int templateId = kSetupDialogTemplate;
  };

  Win32SetupWindow(HINSTANCE instance, Prompts& prompts, Options options);
  ~Win32SetupWindow() override;
  Win32SetupWindow(const Win32SetupWindow&) = delete;
  Win32SetupWindow& operator=(const Win32SetupWindow&) = delete;

  // Creates the dialog, whose WM_INITDIALOG creates and initialises the
  // controller. Null, with the thread's last-error code set, when the
  // dialog cannot be created.
  HWND Create();
  static std::unique_ptr<SetupDialog> DefaultController(DialogWindow& window, Prompts& prompts);

  HWND Handle() const { return dialog_; }
  HWND Item(Control id) const { return GetDlgItem(dialog_, static_cast<int>(id)); }
  SetupDialog* Controller() { return controller_.get(); }
  bool SendTimerRunning() const { return timerRunning_; }
  uint32_t SendTimerPeriod() const { return timerPeriod_; }

  // DialogWindow
  std::string Text(Control id) const override;
  std::optional<std::string> TypedText(Control id) const override;
  void SetText(Control id, const std::string& text) override;
  void Enable(Control id, bool enabled) override;
  void Focus(Control id) override;
  void StartSendTimer(uint32_t periodMs) override;
  void StopSendTimer() override;
  void PostClose() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnInitDialog();
  void OnDestroy();
  // Runs a controller call; an exception never leaves the dialog procedure.
  void Guarded(const std::function<void()>& call);
  void TypeIntoFocus();

  HINSTANCE instance_;
  Prompts& prompts_;
  Options options_;
  HWND dialog_ = nullptr;
  bool timerRunning_ = false;
  uint32_t timerPeriod_ = 0;
  std::deque<std::string> typed_;  // the simulated reader's text, not yet typed
  std::unique_ptr<SetupDialog> controller_;
};

}  // namespace skelmar
