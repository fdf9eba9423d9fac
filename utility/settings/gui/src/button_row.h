// The button row the two setting dialogs share: two push buttons side by
// side, centred, the first of them the default.
#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace utility {

struct ButtonRow {
  QHBoxLayout* layout;
  QPushButton* first;   // the default button; accepts the dialog
  QPushButton* second;  // rejects the dialog
};

// `names` are the buttons' object names, for tests and the screenshot tool.
ButtonRow MakeButtonRow(QDialog* dialog, const char* firstText, const char* firstName,
                        const char* secondText, const char* secondName);

}  // namespace utility
