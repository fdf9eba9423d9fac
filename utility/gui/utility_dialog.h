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

class UtilityDialog : public QDialog, public DialogControls {
  Q_OBJECT

 public:
  UtilityDialog(Session& session, Prompter& prompter, QWidget* parent = nullptr);
  ~UtilityDialog() override;

  UtilityController& controller() { return controller_; }
  std::string& CommandText() { return controller_.CommandText; }

  // The operations of the routing table, as the dialog's own.
  void DispatchTimerTick() { controller_.DispatchTimerTick(); }
  void DetectReader() { controller_.DetectReader(); }
  void ShowCommandPanel() { controller_.ShowCommandPanel(); }
  void LaunchLegacyTool() { controller_.LaunchLegacyTool(); }
  void ExitUtility() { controller_.ExitUtility(); }
  void SendTypedCommand() { controller_.SendTypedCommand(); }
  void SendHexCommand() { controller_.SendHexCommand(); }
  void SaveHistory() { controller_.SaveHistory(); }

  // Widgets, for the screenshot tool and the tests.
  QWidget* Control(ControlId id) const;
  QAction* MenuAction(int id) const;
  QMenuBar* MenuBar() const { return menuBar_; }
  QTimer& Timer() { return timer_; }

  // Text typed by the reader's keyboard: goes to the focused control; "\r"
  // ends a line. Controls that take no typing drop it.
  void TypeText(const std::string& text);

  // DialogControls
  std::string Text(ControlId id) const override;
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

  UtilityController controller_;
  std::map<ControlId, QWidget*> controls_;
  std::map<int, QAction*> actions_;
  QMenuBar* menuBar_ = nullptr;
  QTimer timer_;
  int busyDepth_ = 0;
};

}  // namespace utility
