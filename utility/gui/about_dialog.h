// Help > About: the utility's name and version and a Close button.
#pragma once

#include <QDialog>

#include "utility/dialog_template.h"

namespace utility {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace utility
