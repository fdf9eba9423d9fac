// The utility's colours on Windows: every dialog and message box the
// program's thread opens shows a light blue background with blue text.
#pragma once

#include <windows.h>

namespace utility {

inline constexpr COLORREF kDialogBackground = RGB(150, 200, 255);
inline constexpr COLORREF kDialogText = RGB(0, 0, 255);

// While it lives, every dialog window (#32770) created on the calling
// thread paints its background, its static texts and its group box
// captions in the utility's colours (group boxes are drawn without the
// visual style for that); edit boxes keep the system's. One at a time per
// thread.
class DialogColours {
 public:
  DialogColours();
  ~DialogColours();
  DialogColours(const DialogColours&) = delete;
  DialogColours& operator=(const DialogColours&) = delete;

  // Colours `dialog` (made before the hook was set).
  static void Apply(HWND dialog);

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace utility
