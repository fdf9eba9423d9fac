// The write warning and the setting dialog on screen (offscreen): buttons,
// texts and the validation of the setting field.
#include <gtest/gtest.h>

#include <cctype>

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

// Runs `action` on the next modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

void Click(QWidget* dialog, const char* button) {
  dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

void PressEscape(QWidget* widget) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

TEST(WarningDialog, ContinueAloneLetsTheWriteGoAhead) {
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Warning");
    QStringList lines;
    for (QLabel* label : dialog->findChildren<QLabel*>()) lines << label->text();
    EXPECT_EQ(lines, (QStringList{"Maximum setting limit is 254 times only!",
                                  "Please avoid any unnecessary setting!"}));
    Click(dialog, "continueButton");
  });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Accepted);
  WhenModal([](QWidget* dialog) { Click(dialog, "cancelButton"); });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Cancelled);
  WhenModal([](QWidget* dialog) { PressEscape(dialog); });
  EXPECT_EQ(RunWarningDialog(nullptr), DialogOutcome::Cancelled);
}

struct FieldEntry {
  const char* text;
  const char* message;  // empty: OK closes the dialog with the value
  int value;
};

// Named by the text entered, so that test names stay readable.
void PrintTo(const FieldEntry& e, std::ostream* os) { *os << '"' << e.text << '"'; }

struct SettingDialogField : ::testing::TestWithParam<FieldEntry> {};

TEST_P(SettingDialogField, OkTakesOnlyIntegersFrom0To255) {
  const FieldEntry entry = GetParam();
  SettingRequest request{kPollingLabel, 1};
  QString message;
  bool stayedOpen = false, fieldFocused = false;
  WhenModal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "SETTING");
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("settingField"));
    EXPECT_EQ(field->text(), "1");
    field->setText(QString::fromLatin1(entry.text));
    WhenModal([&](QWidget* box) {  // the validation message, if any
      if (auto* messageBox = qobject_cast<QMessageBox*>(box)) {
        message = messageBox->windowTitle() + ": " + messageBox->text();
        messageBox->accept();
      }
    });
    Click(dialog, "okButton");
    stayedOpen = dialog->isVisible();
    fieldFocused = dialog->focusWidget() == field;
    if (stayedOpen) Click(dialog, "cancelButton");
  });
  const DialogOutcome outcome = RunSettingDialog(nullptr, &request);
  EXPECT_EQ(message, entry.message);
  EXPECT_EQ(stayedOpen, *entry.message != '\0');
  EXPECT_TRUE(!stayedOpen || fieldFocused);
  EXPECT_EQ(outcome, stayedOpen ? DialogOutcome::Cancelled : DialogOutcome::Accepted);
  EXPECT_EQ(request.value, entry.value);
}

constexpr const char* kRange = "Error: Please enter an integer between 0 and 255.";
constexpr const char* kInteger = "Error: Please enter an integer.";

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingDialogField,
    ::testing::Values(FieldEntry{"0", "", 0}, FieldEntry{"1", "", 1}, FieldEntry{"255", "", 255},
                      FieldEntry{" 42 ", "", 42}, FieldEntry{"256", kRange, 1},
                      FieldEntry{"-1", kRange, 1}, FieldEntry{"99999999999999", kRange, 1},
                      FieldEntry{"abc", kInteger, 1}, FieldEntry{"", kInteger, 1},
                      FieldEntry{"12a", kInteger, 1}),
    [](const auto& info) {
      std::string name = "Entry" + std::to_string(info.index) + "_";
      for (const char* c = info.param.text; *c != '\0'; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
      return name;
    });

}  // namespace
}  // namespace utility
