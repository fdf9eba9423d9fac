// The write warning and the setting dialog on screen (offscreen): their
// texts, their buttons, and the setting field's validation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "utility/setting_commands.h"
#include "utility/setting_dialog.h"
#include "utility/warning_dialog.h"

namespace utility {
namespace {

// Runs `action` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

void PressEscape(QWidget* widget) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

QPushButton* Button(QWidget* dialog, const char* name) {
  return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

TEST(WarningDialog, ShowsTheNoticeAndAnswersByButton) {
  WhenModal([](QWidget* dialog) {
    ASSERT_NE(qobject_cast<WarningDialog*>(dialog), nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Warning");
    QStringList lines;
    for (QLabel* label : dialog->findChildren<QLabel*>()) lines << label->text();
    EXPECT_EQ(lines, (QStringList{"Maximum setting limit is 254 times only!",
                                  "Please avoid any unnecessary setting!"}));
    EXPECT_TRUE(Button(dialog, "continueButton")->isDefault());
    Button(dialog, "continueButton")->click();
  });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Accepted);

  WhenModal([](QWidget* dialog) { Button(dialog, "cancelButton")->click(); });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Cancelled);

  WhenModal([](QWidget* dialog) { PressEscape(dialog); });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Cancelled);
}

struct FieldEntry {
  const char* text;
  // The validation message, or empty when OK closes the dialog.
  const char* message;
  int value;
};

class SettingDialogField : public ::testing::TestWithParam<FieldEntry> {};

TEST_P(SettingDialogField, OkAcceptsOnlyIntegersFrom0To255) {
  const FieldEntry entry = GetParam();
  SettingRequest request{kPollingLabel, 1};
  QString shownMessage;
  bool stayedOpen = false;
  bool fieldFocused = false;
  WhenModal([&](QWidget* dialog) {
    ASSERT_NE(qobject_cast<SettingDialog*>(dialog), nullptr);
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("settingField"));
    field->setText(QString::fromLatin1(entry.text));
    if (*entry.message != '\0') {
      // The validation message is modal too: read it and close it.
      WhenModal([&](QWidget* box) {
        auto* messageBox = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(messageBox, nullptr);
        shownMessage = messageBox->text();
        EXPECT_EQ(messageBox->windowTitle(), "Error");
        messageBox->accept();
      });
    }
    Button(dialog, "okButton")->click();
    stayedOpen = dialog->isVisible();
    fieldFocused = dialog->focusWidget() == field;
    if (stayedOpen) Button(dialog, "cancelButton")->click();
  });
  const DialogOutcome outcome = RunSettingDialog(nullptr, &request);
  if (*entry.message == '\0') {
    EXPECT_EQ(outcome, DialogOutcome::Accepted);
    EXPECT_EQ(request.value, entry.value);
    EXPECT_FALSE(stayedOpen);
  } else {
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(fieldFocused);
    EXPECT_EQ(shownMessage, entry.message);
    EXPECT_EQ(outcome, DialogOutcome::Cancelled);
    EXPECT_EQ(request.value, 1);  // untouched by the refused entry
  }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingDialogField,
    ::testing::Values(FieldEntry{"0", "", 0}, FieldEntry{"1", "", 1}, FieldEntry{"255", "", 255},
                      FieldEntry{"256", "Please enter an integer between 0 and 255.", 0},
                      FieldEntry{"abc", "Please enter an integer.", 0}));

TEST(SettingDialog, OpensWithLabelAndValueAndCancels) {
  SettingRequest request{kTurboLabel, 0};
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "SETTING");
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("settingLabel"))->text(),
              "             Turbo Speed Setting (0 or 1):");
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("settingField"));
    EXPECT_EQ(field->text(), "0");
    EXPECT_TRUE(Button(dialog, "okButton")->isDefault());
    field->setText(QStringLiteral("1"));
    PressEscape(dialog);
  });
  EXPECT_EQ(RunSettingDialog(nullptr, &request), DialogOutcome::Cancelled);
  EXPECT_EQ(request.value, 0);
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
