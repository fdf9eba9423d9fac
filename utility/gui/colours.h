// The application's colours: every dialog and message box of the utility
// shows a light blue background with blue text.
#pragma once

#include <QColor>

class QApplication;

namespace utility {

inline const QColor kDialogBackground(150, 200, 255);
inline const QColor kDialogText(0, 0, 255);

void ApplyUtilityColours(QApplication& app);

}  // namespace utility
