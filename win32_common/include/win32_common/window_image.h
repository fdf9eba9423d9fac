// A window's picture as a bitmap file, for the programs' screenshot tools.
#pragma once

#include <windows.h>

#include <string>

namespace win32ui {

// Brings `window` to the top, repaints it, copies what the screen shows of
// it (frame and contents) into a 24-bit bitmap and writes that to `path` as
// a BMP file. False when the window cannot be copied or the file cannot be
// written.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace win32ui
