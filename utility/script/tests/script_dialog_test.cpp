// The script runner in the real main dialog: the Run Script button's labels,
// the progress display in the command box, the runner's message boxes, and
// a 10 MB script in the real command box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>

#include "hidhost/sim.h"
#include "utility/control_ids.h"
#include "utility_app.h"

namespace utility {
namespace {

class ScriptDialogTest : public ::testing::Test {
 protected:
  ScriptDialogTest()
      : clock(std::make_shared<hidhost::sim::VirtualClock>()),
        host(hidhost::sim::SimulatedHost::Create("reader", clock)) {
    hidhost::InstallHost(host);
    dialog = std::make_unique<UtilityDialog>(session, prompter);
    prompter.SetParent(dialog.get());
    dialog->Timer().stop();  // the tests tick by hand
    handlers = AttachHandlers(*dialog);
    dialog->show();
    while (!dialog->IsVisible(ControlId::CommandBox)) dialog->DispatchTimerTick();
  }

  QPushButton* RunButton() const {
    return qobject_cast<QPushButton*>(dialog->Control(ControlId::RunScript));
  }
  std::string CommandBox() const { return dialog->Text(ControlId::CommandBox); }
  // Closes the next message box and keeps its text.
  void AnswerNextMessage() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      messages.push_back(box->text());
      box->accept();
    });
  }

  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<hidhost::sim::SimulatedHost> host;
  Session session;
  QtPrompter prompter;
  std::unique_ptr<UtilityDialog> dialog;
  UtilityHandlers handlers;
  QStringList messages;
};

TEST_F(ScriptDialogTest, ButtonLabelsProgressAndCompletion) {
  dialog->SetText(ControlId::CommandBox, "R1\r\n;; note\r\nxY\r\nR2\r\nEND\r\n");
  RunButton()->click();
  EXPECT_EQ(RunButton()->text(), "Stop");
  dialog->DispatchTimerTick();
  EXPECT_EQ(CommandBox(), "Current command: R1\r\n\r\n;; note\r\nxY\r\nR2\r\nEND\r\n");
  dialog->DispatchTimerTick();
  EXPECT_EQ(RunButton()->text(), "Resume");
  EXPECT_EQ(CommandBox(), "Current command: xY\r\n\r\nR2\r\nEND\r\n");
  EXPECT_EQ(QApplication::focusWidget() == nullptr ||
                QApplication::focusWidget() == dialog->Control(ControlId::ResponseBox),
            true);
  RunButton()->click();
  EXPECT_EQ(RunButton()->text(), "Stop");
  dialog->DispatchTimerTick();
  EXPECT_EQ(CommandBox(), "Current command: R2\r\n\r\nEND\r\n");
  AnswerNextMessage();
  dialog->DispatchTimerTick();
  EXPECT_EQ(messages, QStringList{"Send Complete!"});
  EXPECT_EQ(RunButton()->text(), "Run Script");
  EXPECT_EQ(CommandBox(), "END\r\n");
  EXPECT_EQ(session.HistoryText, "R2\r\nxY\r\nR1\r\n");
}

TEST_F(ScriptDialogTest, NoEndStopsBeforeItsMessage) {
  dialog->SetText(ControlId::CommandBox, "R1\r\nend\r\n");
  RunButton()->click();
  AnswerNextMessage();
  dialog->DispatchTimerTick();
  EXPECT_EQ(messages, QStringList{"Script does not include the word END!"});
  EXPECT_EQ(RunButton()->text(), "Run Script");
  EXPECT_TRUE(host->Transcript().empty());
}

TEST_F(ScriptDialogTest, TenMegabyteScriptStepsInTheCommandBox) {
  // Lines of a kilobyte keep the widget's own work of taking 10 MB short.
  const std::string line = "C" + std::string(1021, 'x') + "\r\n";
  std::string script;
  script.reserve(10u * 1024 * 1024 + 16);
  while (script.size() < 10u * 1024 * 1024) script += line;
  script += "END\r\n";
  dialog->SetText(ControlId::CommandBox, script);
  RunButton()->click();
  // Steps without the sends: only the runner and the command box are timed.
  constexpr int kSteps = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSteps; ++i) handlers.script->RunScriptStep();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("seconds_for_200_steps_in_the_dialog", std::to_string(seconds));
  // Rewriting the 10 MB box each step takes far longer than this.
  EXPECT_LT(seconds, 5.0);
  EXPECT_EQ(dialog->Text(ControlId::CommandBox).size(),
            script.size() - kSteps * line.size() + std::string("Current command: ").size() +
                line.size() + 2);
}

}  // namespace
}  // namespace utility

int main(int argc, char** argv) {
  // Test discovery runs the program outside ctest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
