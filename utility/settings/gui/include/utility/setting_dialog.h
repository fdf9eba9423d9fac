// The "SETTING" dialog: a label and a number field that takes an integer
// from 0 to 255. OK with anything else keeps the dialog open with a
// validation message and the focus on the field.
#pragma once

#include <QDialog>

#include "utility/prompter.h"

class QLabel;
class QLineEdit;

namespace utility {

inline constexpr const char* kSettingCaption = "SETTING";

class SettingDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens with `request.value` in the field and `request.label` beside it.
  explicit SettingDialog(const SettingRequest& request, QWidget* parent = nullptr);

  // The value accepted by OK (the initial value until then).
  int SettingValue() const { return value_; }

  void accept() override;

 private:
  QLabel* label_;
  QLineEdit* field_;
  int value_;
};

// Runs the setting dialog modally over `parent`. Accepted with
// request->value set to the accepted value, or Cancelled with it untouched.
DialogOutcome RunSettingDialog(QWidget* parent, SettingRequest* request);

}  // namespace utility
