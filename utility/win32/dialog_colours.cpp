#include "dialog_colours.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace utility {
namespace {

constexpr UINT_PTR kSubclassId = 0x636f6c;  // one subclass per dialog

HBRUSH BackgroundBrush() {
  // Lives until the process ends, as the colours do.
  static HBRUSH brush = CreateSolidBrush(kDialogBackground);
  return brush;
}

bool IsEdit(HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  return _wcsicmp(name, L"Edit") == 0;
}

bool IsGroupBox(HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  return _wcsicmp(name, L"Button") == 0 &&
         (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

BOOL CALLBACK UnthemeGroupBox(HWND child, LPARAM) {
  // A themed group box draws its caption in the theme's text colour and
  // ignores the colour answer; without the theme it takes the answer's. A
  // class list naming no class leaves it without one (Wine takes no empty
  // list).
  if (IsGroupBox(child)) SetWindowTheme(child, L" ", L" ");
  return TRUE;
}

void UnthemeGroupBoxes(HWND dialog) { EnumChildWindows(dialog, &UnthemeGroupBox, 0); }

LRESULT CALLBACK ColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
  switch (message) {
    case WM_INITDIALOG: {
      // The controls of the template exist now.
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      UnthemeGroupBoxes(window);
      return result;
    }
    case WM_CTLCOLORDLG:
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // A read-only edit asks as a static does: it keeps the system's look.
      if (IsEdit(reinterpret_cast<HWND>(lParam))) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, kDialogText);
      SetBkColor(dc, kDialogBackground);
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &ColourProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool IsDialogClass(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return wcscmp(name, L"#32770") == 0;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialogClass(window)) DialogColours::Apply(window);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

DialogColours::DialogColours()
    : hook_(SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, GetCurrentThreadId())) {}

DialogColours::~DialogColours() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

void DialogColours::Apply(HWND dialog) {
  SetWindowSubclass(dialog, &ColourProc, kSubclassId, 0);
  UnthemeGroupBoxes(dialog);
}

}  // namespace utility
