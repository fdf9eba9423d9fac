// Pelorin's main dialog on the Windows dialog manager: template 102 from
// the program's resources. It implements DialogControls over the template's
// controls and forwards buttons, menu commands and the 100 ms tick to
// UtilityController. Text typed by a reader (the host's keyboard sink)
// lands in the focused edit box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "utility/dialog_controls.h"
#include "utility/prompter.h"
#include "utility/session.h"
#include "utility/utility_controller.h"

namespace utility {

inline constexpr UINT kTimerId = 1;
inline constexpr UINT kTimerPeriodMs = 100;
// Longest time spent delivering the input queued during an exchange.
inline constexpr uint64_t kSettleMaxMs = 50;

class UtilityWindow : public DialogControls {
 public:
  // `module` holds the resources (template 102, menu 136, icon 128).
  UtilityWindow(HINSTANCE module, Session& session, Prompter& prompter);
  ~UtilityWindow() override;
  UtilityWindow(const UtilityWindow&) = delete;
  UtilityWindow& operator=(const UtilityWindow&) = delete;

  // Runs the dialog modally with no parent; returns its result once it has
  // closed (IDOK for Exit and Launch, IDCANCEL for Escape and the close box,
  // -1 when it could not be created).
  INT_PTR RunModal();
  // Creates the dialog modeless and shown, for the tests and the screenshot
  // tool, which deliver its messages themselves. False when it could not be
  // created.
  bool Create();

  HWND Handle() const { return window_; }
  HWND Control(ControlId id) const { return GetDlgItem(window_, static_cast<int>(id)); }
  UtilityController& controller() { return controller_; }
  // Whether the dialog has ended (Exit, Launch, Escape, close box), and how.
  bool Ended() const { return ended_; }
  INT_PTR Result() const { return result_; }
  // Stops the 100 ms timer (tests deliver the ticks themselves).
  void StopTimer();

  // Text typed by the reader's keyboard: goes to the focused edit box; "\r"
  // ends a line. Controls that take no typing drop it.
  void TypeText(const std::string& text);

  // DialogControls
  std::string Text(ControlId id) const override;
  std::optional<std::string> TypedText(ControlId id) const override;
  void SetText(ControlId id, const std::string& text) override;
  void SetVisible(ControlId id, bool visible) override;
  bool IsVisible(ControlId id) const override;
  void SetFocus(ControlId id) override;
  bool ReplaceTextStart(ControlId id, std::string_view oldStart,
                        std::string_view newStart) override;
  void ShowMenuBar() override;
  void SetBusy(bool busy) override;
  void RepaintNow() override;
  void EndDialog() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  void WidenLabels();
  void PaintIcon();
  void OnTick();
  void OnCommand(int id);
  void Finish(INT_PTR result);
  // After a handler that ran an exchange: delivers what was queued
  // meanwhile, of which the controller carries out only Stop and Exit
  // (UtilityController::QueuedInput); text the reader typed reaches the
  // focused box.
  void SettleInput();
  void DeliverTypedText();

  HINSTANCE module_;
  UtilityController controller_;
  HWND window_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HFONT statusFont_ = nullptr;
  int busyDepth_ = 0;
  bool exchangeRan_ = false;  // since the last SettleInput
  bool settling_ = false;
  // Text from the keyboard sink, which may call from another thread.
  std::mutex typedMutex_;
  std::deque<std::string> typed_;
};

}  // namespace utility
