#include "win32_common/dialogs.h"
#include "win32_common/text.h"

namespace win32ui {

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
  return MessageBoxW(owner, WideFromLatin1(text).c_str(), WideFromLatin1(caption).c_str(), type);
}

}  // namespace win32ui
