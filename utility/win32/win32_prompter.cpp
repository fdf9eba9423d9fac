#include "win32_prompter.h"

#include "resource.h"
#include "utility/setting_field.h"
#include "win32_common/dialogs.h"
#include "win32_common/text.h"

namespace utility {
namespace {

// The About and Warning boxes: any button ends them with its identifier.
INT_PTR CALLBACK ButtonBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(box, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

// SETTING: the field takes an integer from 0 to 255; OK with anything else
// keeps the box open with a message and the focus on the field.
INT_PTR CALLBACK SettingProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* request = reinterpret_cast<SettingRequest*>(GetWindowLongPtrW(box, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(box, DWLP_USER, lParam);
      request = reinterpret_cast<SettingRequest*>(lParam);
      win32ui::SetWindowTextLatin1(GetDlgItem(box, IDC_SETTING_VALUE), std::to_string(request->value));
      win32ui::SetWindowTextLatin1(GetDlgItem(box, IDC_SETTING_LABEL), request->label);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(box, IDCANCEL);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK) {
        HWND field = GetDlgItem(box, IDC_SETTING_VALUE);
        const SettingFieldCheck check = CheckSettingField(win32ui::GetWindowTextLatin1(field));
        if (!check.ok) {
          win32ui::ShowMessageBox(box, check.message, "Error", MB_OK | MB_ICONWARNING);
          SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
          SendMessageW(field, EM_SETSEL, 0, -1);
          return TRUE;
        }
        request->value = check.value;
        EndDialog(box, IDOK);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void Win32Prompter::ShowMessage(const std::string& text, const std::string& caption) {
  win32ui::ShowMessageBox(Owner(), text, caption.empty() ? std::string(kApplicationName) : caption,
                          MB_OK);
}

std::optional<std::string> Win32Prompter::AskSaveFileName(const std::string& filter,
                                                          const std::string& defaultExtension) {
  const std::string_view extension(defaultExtension);
  return win32ui::AskFileName(Owner(), true, filter,
                              extension.starts_with('.') ? extension.substr(1) : extension);
}

std::optional<std::string> Win32Prompter::AskOpenFileName(const std::string& filter,
                                                          const std::string& defaultExtension) {
  const std::string_view extension(defaultExtension);
  return win32ui::AskFileName(Owner(), false, filter,
                              extension.starts_with('.') ? extension.substr(1) : extension);
}

void Win32Prompter::ShowAbout() {
  DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_ABOUT), Owner(), &ButtonBoxProc, 0);
}

DialogOutcome Win32Prompter::ConfirmSettingWrite() {
  const INT_PTR result =
      DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_WARNING), Owner(), &ButtonBoxProc, 0);
  if (result == -1) return DialogOutcome::NotCreated;
  return result == IDOK ? DialogOutcome::Accepted : DialogOutcome::Cancelled;
}

DialogOutcome Win32Prompter::AskSetting(SettingRequest* request) {
  SettingRequest edited = *request;
  const INT_PTR result = DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_SETTING), Owner(), &SettingProc,
                                         reinterpret_cast<LPARAM>(&edited));
  if (result == -1) return DialogOutcome::NotCreated;
  if (result != IDOK) return DialogOutcome::Cancelled;
  request->value = edited.value;
  return DialogOutcome::Accepted;
}

}  // namespace utility
