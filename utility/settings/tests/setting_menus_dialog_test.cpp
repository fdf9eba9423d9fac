// The setting menus of the real main dialog, with the real warning and
// setting dialogs answered by clicks, against the simulated reader.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "hidhost/sim.h"
#include "utility/control_ids.h"
#include "utility_app.h"

namespace utility {
namespace {

// Clicks `button` of the modal dialog that opens next, after `prepare`.
void ClickWhenModal(const char* button, std::function<void(QWidget*)> prepare = {}) {
  QTimer::singleShot(0, [button, prepare] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    if (prepare) prepare(dialog);
    dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
  });
}

void ThenClickWhenModal(const char* first, const char* second,
                        std::function<void(QWidget*)> prepare = {}) {
  QTimer::singleShot(0, [=] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    ClickWhenModal(second, prepare);
    dialog->findChild<QPushButton*>(QString::fromLatin1(first))->click();
  });
}

class SettingMenusDialogTest : public ::testing::Test {
 protected:
  SettingMenusDialogTest()
      : clock(std::make_shared<hidhost::sim::VirtualClock>()),
        host(hidhost::sim::SimulatedHost::Create("reader", clock)) {
    hidhost::InstallHost(host);
    AttachSettingDialogs(prompter);
    dialog = std::make_unique<UtilityDialog>(session, prompter);
    prompter.SetParent(dialog.get());
    dialog->Timer().stop();  // the tests tick by hand
    handlers = AttachHandlers(*dialog);
    dialog->show();
    while (!dialog->IsVisible(ControlId::CommandBox)) dialog->DispatchTimerTick();
    dialog->SetText(ControlId::HistoryBox, "before");
    host->ClearTranscript();
  }

  void Menu(int id) { ASSERT_TRUE(dialog->controller().RouteCommand(id)); }
  std::string History() const { return dialog->Text(ControlId::HistoryBox); }

  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<hidhost::sim::SimulatedHost> host;
  Session session;
  QtPrompter prompter;
  std::unique_ptr<UtilityDialog> dialog;
  UtilityHandlers handlers;
};

TEST_F(SettingMenusDialogTest, CancelOnTheWarningSendsNothing) {
  ClickWhenModal("cancelButton");
  Menu(32862);  // French
  ClickWhenModal("cancelButton");
  Menu(menu::SetPollingInterval);
  EXPECT_TRUE(host->Transcript().empty());
  EXPECT_EQ(History(), "before");
}

TEST_F(SettingMenusDialogTest, CancelOnTheSettingDialogSendsNothing) {
  ThenClickWhenModal("continueButton", "cancelButton");
  Menu(menu::SetTurboSpeed);
  EXPECT_TRUE(host->Transcript().empty());
  EXPECT_EQ(History(), "before");
}

TEST_F(SettingMenusDialogTest, TurboWriteThroughTheDialogsThenReview) {
  ThenClickWhenModal("continueButton", "okButton", [](QWidget* setting) {
    setting->findChild<QLineEdit*>(QStringLiteral("settingField"))->setText(QStringLiteral("1"));
  });
  Menu(menu::SetTurboSpeed);
  EXPECT_EQ(History(), "Command:  02 53 12 01 01 03 40 \r\nResponse:  02 06 03 07 \r\n\r\n");
  Menu(menu::ReviewTurboSpeed);
  EXPECT_EQ(History(), "Command:  02 52 12 03 41 \r\nResponse:  02 06 31 03 36 \r\n\r\n"
                       "\r\nTurbo speed setting is On");
  EXPECT_EQ(dialog->Text(ControlId::CommandBox), "");
}

TEST_F(SettingMenusDialogTest, LanguageWriteThroughTheWarningThenReview) {
  ClickWhenModal("continueButton");
  Menu(32861);  // German
  Menu(menu::ReviewLanguage);
  EXPECT_TRUE(History().ends_with("\r\nCurrent language setting is German")) << History();
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
