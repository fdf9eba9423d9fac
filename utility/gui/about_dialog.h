// Help > About: the utility's name and version and a Close button.
#pragma once

#include <QDialog>

namespace utility {

inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutText = "KAVRO USB KB (QV5) Utility v1.0";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace utility
