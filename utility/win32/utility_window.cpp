#include "utility_window.h"

#include <algorithm>

#include "hidhost/host.h"
#include "hidhost/system_services.h"
#include "resource.h"
#include "utility/dialog_template.h"
#include "win32_common/text.h"

namespace utility {
namespace {

// Posted when the keyboard sink has queued text.
constexpr UINT kTypedTextMessage = WM_APP + 1;

}  // namespace

UtilityWindow::UtilityWindow(HINSTANCE module, Session& session, Prompter& prompter)
    : module_(module), controller_(*this, prompter, session) {}

UtilityWindow::~UtilityWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (statusFont_ != nullptr) DeleteObject(statusFont_);
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
  while (busyDepth_ > 0) SetBusy(false);
}

INT_PTR UtilityWindow::RunModal() {
  modal_ = true;
  return DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_UTILITY), nullptr, &UtilityWindow::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

bool UtilityWindow::Create() {
  modal_ = false;
  window_ = CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_UTILITY), nullptr,
                               &UtilityWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) return false;
  ShowWindow(window_, SW_SHOW);
  return true;
}

void UtilityWindow::StopTimer() { KillTimer(window_, kTimerId); }

INT_PTR CALLBACK UtilityWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<UtilityWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<UtilityWindow*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->window_ = window;
  }
  return self == nullptr ? FALSE : self->OnMessage(message, wParam, lParam);
}

INT_PTR UtilityWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      return TRUE;  // the dialog manager sets the first focus
    case WM_TIMER:
      OnTick();
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDCANCEL) {
        // Escape and the close box end the dialog, like Exit.
        Finish(IDCANCEL);
      } else if (code == BN_CLICKED || (lParam == 0 && code <= 1)) {
        // A button, a menu command or an accelerator. The dialog manager's
        // IDOK (Enter outside a box that takes it) names no control here:
        // it does nothing.
        OnCommand(id);
      }
      return TRUE;
    }
    case kTypedTextMessage:
      DeliverTypedText();
      return TRUE;
    case WM_PAINT:
      if (!IsIconic(window_)) return FALSE;
      PaintIcon();
      return TRUE;
    case WM_QUERYDRAGICON:
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(bigIcon_));
      return TRUE;
    case WM_SETCURSOR:
      if (busyDepth_ > 0) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      KillTimer(window_, kTimerId);
      hidhost::CurrentServices().SetKeyboardSink({});
      return FALSE;
    case WM_NCDESTROY:
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void UtilityWindow::Initialise() {
  bigIcon_ = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(IDI_PELORIN), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(IDI_PELORIN), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  SetTimer(window_, kTimerId, kTimerPeriodMs, nullptr);

  HDC screen = GetDC(window_);
  const int height = -MulDiv(16, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(window_, screen);
  statusFont_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"Arial");
  SendMessageW(Control(ControlId::StatusLine), WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_), TRUE);

  // The reader answers as a keyboard, possibly from another thread: its
  // text is queued and handed to the dialog's thread.
  hidhost::CurrentServices().SetKeyboardSink([this](const std::string& text) {
    {
      std::lock_guard<std::mutex> lock(typedMutex_);
      typed_.push_back(text);
    }
    PostMessageW(window_, kTypedTextMessage, 0, 0);
  });
  // The edit boxes take as much text as memory allows, as the history and
  // scripts may grow long (typing and pasting stop at 30000 characters by
  // default).
  for (const ControlTemplate& t : MainDialogControls())
    if (t.kind == ControlKind::CommandEdit || t.kind == ControlKind::HistoryEdit ||
        t.kind == ControlKind::ResponseEdit)
      SendMessageW(Control(t.id), EM_SETLIMITTEXT, 0, 0);
  WidenLabels();
  controller_.Initialise();
}

void UtilityWindow::WidenLabels() {
  // A label is never cut short by a font wider than the template's (a
  // substitute for the template's font on some systems).
  HDC dc = GetDC(window_);
  for (const ControlTemplate& t : MainDialogControls()) {
    if (t.kind != ControlKind::Label) continue;
    HWND label = Control(t.id);
    const std::wstring text = win32ui::WideFromLatin1(t.text);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    RECT rect{};
    GetWindowRect(label, &rect);
    if (size.cx > rect.right - rect.left)
      SetWindowPos(label, nullptr, 0, 0, size.cx, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ReleaseDC(window_, dc);
}

void UtilityWindow::PaintIcon() {
  // A minimised window that still has a client area (older systems) shows
  // the icon in its middle.
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(window_, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, bigIcon_);
  EndPaint(window_, &paint);
}

void UtilityWindow::OnTick() {
  // A tick that comes while input queued during an exchange is being
  // delivered waits for the next one.
  if (settling_) return;
  controller_.DispatchTimerTick();
  SettleInput();
}

void UtilityWindow::OnCommand(int id) {
  controller_.RouteCommand(id);
  SettleInput();
}

void UtilityWindow::Finish(INT_PTR result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  if (modal_) {
    ::EndDialog(window_, result);
  } else {
    ShowWindow(window_, SW_HIDE);
  }
}

std::string UtilityWindow::Text(ControlId id) const {
  return win32ui::GetWindowTextLatin1(Control(id));
}

std::optional<std::string> UtilityWindow::TypedText(ControlId id) const {
  return win32ui::GetTypedTextLatin1(Control(id));
}

void UtilityWindow::SetText(ControlId id, const std::string& text) {
  win32ui::SetWindowTextLatin1(Control(id), text);
}

bool UtilityWindow::ReplaceTextStart(ControlId id, std::string_view oldStart,
                                     std::string_view newStart) {
  HWND control = Control(id);
  const std::string text = win32ui::GetWindowTextLatin1(control);
  if (!std::string_view(text).starts_with(oldStart)) return false;
  // Replaces the start in place, so that the edit lays out the changed
  // lines only and not the whole text (a long running script).
  const std::wstring oldWide = win32ui::WideFromLatin1(oldStart);
  const std::wstring newWide = win32ui::WideFromLatin1(newStart);
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  SendMessageW(control, EM_SETSEL, 0, static_cast<LPARAM>(oldWide.size()));
  SendMessageW(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(newWide.c_str()));
  // The caret stays where it was in the text that follows.
  const auto shift = [&](DWORD at) -> LPARAM {
    if (at < oldWide.size()) return 0;
    return static_cast<LPARAM>(at - oldWide.size() + newWide.size());
  };
  SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(shift(selStart)), shift(selEnd));
  return true;
}

void UtilityWindow::SetVisible(ControlId id, bool visible) {
  ShowWindow(Control(id), visible ? SW_SHOW : SW_HIDE);
}

bool UtilityWindow::IsVisible(ControlId id) const {
  HWND control = Control(id);
  return control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void UtilityWindow::SetFocus(ControlId id) {
  // Through the dialog manager, so that the default button follows.
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
}

void UtilityWindow::ShowMenuBar() {
  if (GetMenu(window_) != nullptr) return;
  // Attached to the window, the menu is destroyed with it.
  HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_COMMAND_MENU));
  if (menu == nullptr) return;
  // The client area keeps its size: the window grows by the menu bar.
  RECT client{};
  GetClientRect(window_, &client);
  SetMenu(window_, menu);
  RECT frame = client;
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), TRUE,
                     static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UtilityWindow::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) {
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      // Clicks and keys that arrive during the exchange wait in the
      // thread's queue until the handler that runs it ends (SettleInput).
      exchangeRan_ = true;
    }
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) {
      POINT at{};
      GetCursorPos(&at);
      // The cursor of whatever lies under the pointer again.
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SetCursorPos(at.x, at.y);
    }
  }
}

void UtilityWindow::SettleInput() {
  if (!exchangeRan_ || busyDepth_ > 0 || settling_) return;
  settling_ = true;
  {
    UtilityController::QueuedInput queued(controller_);
    // Bounded by the host's clock, and by the queue running dry.
    hidhost::Clock& clock = hidhost::CurrentHost().clock();
    const uint64_t until = clock.NowMs() + kSettleMaxMs;
    MSG message;
    while (clock.NowMs() < until && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      if (window_ != nullptr && IsDialogMessageW(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  settling_ = false;
  exchangeRan_ = false;
}

void UtilityWindow::RepaintNow() {
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void UtilityWindow::EndDialog() { Finish(IDOK); }

void UtilityWindow::DeliverTypedText() {
  std::deque<std::string> texts;
  {
    std::lock_guard<std::mutex> lock(typedMutex_);
    texts.swap(typed_);
  }
  for (const std::string& text : texts) TypeText(text);
}

void UtilityWindow::TypeText(const std::string& text) {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != window_) return;
  wchar_t name[16] = {};
  GetClassNameW(focus, name, 16);
  if (_wcsicmp(name, L"Edit") != 0 || (GetWindowLongW(focus, GWL_STYLE) & ES_READONLY) != 0) return;
  SendMessageW(focus, EM_REPLACESEL, TRUE,
               reinterpret_cast<LPARAM>(win32ui::WideFromLatin1(text).c_str()));
}

}  // namespace utility
