// A window's picture as a bitmap file, for the programs' screenshot tools.
#pragma once

#include <windows.h>

#include <string>

namespace win32ui {

// Draws `window` (frame and contents, even when covered) into a 24-bit
// bitmap and writes it to `path` as a BMP file. False when the window
// cannot be drawn or the file cannot be written.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace win32ui
