#include "win32_common/dialog_answerer.h"

#include <algorithm>

#include "win32_common/text.h"

namespace win32ui::testing {
namespace {

thread_local DialogAnswerer* current = nullptr;

bool IsDialogWindow(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring_view(name) == L"#32770";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
  if (IsDialogWindow(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The file name box of the file dialogs: an edit (edt1) or, in the newer
// layout, a combo box (cmb13) holding one.
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47C;

}  // namespace

std::string StaticTexts(HWND dialog) {
  std::string text;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") != 0) continue;
    // An icon's or picture's text is its resource name.
    const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE) continue;
    const std::string part = GetWindowTextLatin1(child);
    if (part.empty()) continue;
    if (!text.empty()) text += '\n';
    text += part;
  }
  return text;
}

DialogAnswerer::DialogAnswerer() : present_(ThreadDialogs()) {
  current = this;
  timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &DialogAnswerer::OnTimer);
}

DialogAnswerer::~DialogAnswerer() {
  KillTimer(nullptr, timer_);
  if (current == this) current = nullptr;
}

void DialogAnswerer::Press(int id) {
  answers_.push_back([id](HWND dialog) { Click(dialog, id); });
}

void DialogAnswerer::ChooseFile(const std::string& path) {
  answers_.push_back([path](HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    if (box == nullptr) box = GetDlgItem(dialog, kFileNameEdit);
    SetWindowTextLatin1(box, path);
    Click(dialog, IDOK);
  });
}

void DialogAnswerer::Answer(std::function<void(HWND)> answer) {
  answers_.push_back(std::move(answer));
}

void CALLBACK DialogAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (current != nullptr) current->Check();
}

void DialogAnswerer::Check() {
  // Handles of closed windows are given to new ones.
  std::erase_if(present_, [](HWND window) { return !IsWindow(window); });
  for (HWND dialog : ThreadDialogs()) {
    if (!IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) continue;
    if (std::find(present_.begin(), present_.end(), dialog) != present_.end()) continue;
    // A dialog closes some time after its answer is posted. One that stays
    // open (it showed a box of its own) is answered again once another
    // dialog has been answered.
    if (dialog == lastAnswered_ && IsWindow(dialog)) continue;
    lastAnswered_ = dialog;
    SeenDialog seen{GetWindowTextLatin1(dialog), StaticTexts(dialog), !answers_.empty()};
    seen_.push_back(seen);
    if (answers_.empty()) {
      // A box with OK alone has no Cancel to press.
      const bool ok = GetDlgItem(dialog, IDCANCEL) == nullptr && GetDlgItem(dialog, IDOK) != nullptr;
      Click(dialog, ok ? IDOK : IDCANCEL);
    } else {
      auto answer = std::move(answers_.front());
      answers_.pop_front();
      answer(dialog);
    }
    return;  // one dialog per tick: the next may only be shown by this answer
  }
}

}  // namespace win32ui::testing
