// The notice shown before every setting write from the menus: "Continue"
// lets the write go ahead, "Cancel", Escape and the close box do not.
#pragma once

#include <QDialog>

#include "utility/prompter.h"

namespace utility {

inline constexpr const char* kWarningCaption = "Warning";
inline constexpr const char* kWarningLimitLine = "Maximum setting limit is 254 times only!";
inline constexpr const char* kWarningAvoidLine = "Please avoid any unnecessary setting!";

class WarningDialog : public QDialog {
  Q_OBJECT

 public:
  explicit WarningDialog(QWidget* parent = nullptr);
};

// Runs the warning modally over `parent`: Accepted for Continue, Cancelled
// otherwise.
DialogOutcome RunWarningDialog(QWidget* parent);

}  // namespace utility
