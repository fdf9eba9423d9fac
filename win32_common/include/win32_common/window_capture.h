// Pictures of windows as the screen shows them, for the screenshot tools.
#pragma once

#include <windows.h>

#include <string>

namespace win32ui {

// Paints `window` and everything waiting to be painted, then copies the
// window (frame, caption and menu bar included) from the screen into a
// 24-bit BMP file at `path`. False when the window or the file cannot be
// had. The window must lie on the screen, uncovered.
bool CaptureWindowToBmp(HWND window, const std::string& path);

}  // namespace win32ui
