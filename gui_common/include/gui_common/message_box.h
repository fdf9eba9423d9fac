// Message boxes wide enough to show their caption: a window manager cuts a
// caption that is wider than its window (a box saying "Send Complete!" is
// narrower than most captions).
#pragma once

#include <QMessageBox>
#include <QString>

namespace guicommon {

// The smallest width at which the title bar of a window shows `caption`
// whole: the caption at the title font, the window icon and the title bar's
// buttons.
int WidthForCaption(const QString& caption);

// Widens `box` (before it is shown) to WidthForCaption of its title.
void FitCaption(QMessageBox& box);

// A modal message box with an OK button, fitted to its caption.
void ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                    const QString& text);

}  // namespace guicommon
