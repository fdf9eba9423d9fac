// Pelorin's main dialog. It builds the controls of the template, shows what
// the operations write and forwards buttons, menu commands and the 100 ms
// tick to UtilityController. Text typed by a reader (the host's keyboard
// sink) lands in the focused control.
#pragma once

#include <QDialog>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "utility/dialog_controls.h"
#include "utility/prompter.h"
#include "utility/session.h"
#include "utility/utility_controller.h"

class QAction;
class QMenuBar;

namespace utility {

inline constexpr int kTimerPeriodMs = 100;
// Longest time spent delivering the input queued during an exchange.
inline constexpr int kSettleMaxMs = 50;

class UtilityDialog : public QDialog, public DialogControls {
  Q_OBJECT

 public:
  UtilityDialog(Session& session, Prompter& prompter, QWidget* parent = nullptr);
  ~UtilityDialog() override;

  UtilityController& controller() { return controller_; }
  std::string& CommandText() { return controller_.CommandText; }

  // The operations of the routing table, as the dialog's own.
  // Those that may run an exchange end with SettleInput.
  void DispatchTimerTick() { controller_.DispatchTimerTick(); SettleInput(); }
  void DetectReader() { controller_.DetectReader(); }
  void ShowCommandPanel() { controller_.ShowCommandPanel(); }
  void LaunchLegacyTool() { controller_.LaunchLegacyTool(); }
  void ExitUtility() { controller_.ExitUtility(); }
  void SendTypedCommand() { controller_.SendTypedCommand(); SettleInput(); }
  void SendHexCommand() { controller_.SendHexCommand(); SettleInput(); }
  void SaveHistory() { controller_.SaveHistory(); }

  // Widgets, for the screenshot tool and the tests.
  QWidget* Control(ControlId id) const;
  QAction* MenuAction(int id) const;
  QMenuBar* MenuBar() const { return menuBar_; }
  QTimer& Timer() { return timer_; }

  // Text typed by the reader's keyboard: goes to the focused control; "\r"
  // ends a line. Controls that take no typing drop it.
  void TypeText(const std::string& text);

  // After the handler of a click, menu command or tick that ran an exchange:
  // delivers the input queued meanwhile, of which the controller carries out
  // only Stop and Exit (UtilityController::QueuedInput). Tests that run the
  // controller's operations directly call it.
  void SettleInput();

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
  void BuildControls();
  void BuildMenuBar();
  // A button or menu command, then SettleInput.
  void RunCommand(int id);

  UtilityController controller_;
  std::map<ControlId, QWidget*> controls_;
  std::map<int, QAction*> actions_;
  QMenuBar* menuBar_ = nullptr;
  QTimer timer_;
  int busyDepth_ = 0;
  bool exchangeRan_ = false;  // since the last SettleInput
  bool settling_ = false;
};

}  // namespace utility
