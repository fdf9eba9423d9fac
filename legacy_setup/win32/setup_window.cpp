#include "setup_window.h"

#include "hidhost/system_services.h"
#include "skelmar/win_exception.h"
#include "win32_common/text.h"

namespace skelmar {

namespace {

// Posted to the dialog when a simulated reader has typed: the text is typed
// into whichever control has the focus once the message comes up, after
// what was already queued, as a real keyboard's keystrokes are.
constexpr UINT kTypedMessage = WM_APP + 1;

// Posts the keystrokes of one character to `target`. Enter goes as the key
// itself, so that the dialog manager decides what it means there (a line
// break in the Response box, Send in the input box).
void PostKeystroke(HWND target, char c) {
  if (c == '\r') {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, scan | 1);
    PostMessageW(target, WM_KEYUP, VK_RETURN, scan | 1 | (LPARAM{3} << 30));
  } else {
    PostMessageW(target, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  }
}

}  // namespace

Win32SetupWindow::Win32SetupWindow(HINSTANCE instance, Prompts& prompts, Options options)
    : instance_(instance), prompts_(prompts), options_(std::move(options)) {}

Win32SetupWindow::~Win32SetupWindow() {
  if (dialog_) DestroyWindow(dialog_);
  controller_.reset();
}

std::unique_ptr<SetupDialog> Win32SetupWindow::DefaultController(DialogWindow& window,
                                                                 Prompts& prompts) {
  return std::make_unique<SetupDialog>(window, prompts);
}

HWND Win32SetupWindow::Create() {
  return CreateDialogParamW(instance_, MAKEINTRESOURCEW(options_.templateId), nullptr, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Win32SetupWindow::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* self = reinterpret_cast<Win32SetupWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Win32SetupWindow*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    return self->OnInitDialog();
  }
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (self->controller_) {
        const auto id = static_cast<Control>(LOWORD(wParam));
        const int notification = HIWORD(wParam);
        self->Guarded([self, id, notification] { self->controller_->HandleCommand(id, notification); });
      }
      return TRUE;
    case WM_TIMER:
      if (wParam != kSendTimerId) return FALSE;
      if (self->controller_) self->Guarded([self] { self->controller_->SendTimerTick(); });
      return TRUE;
    case kTypedMessage:
      self->TypeIntoFocus();
      return TRUE;
    case WM_CLOSE:
      self->StopSendTimer();
      self->controller_.reset();
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      self->OnDestroy();
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR Win32SetupWindow::OnInitDialog() {
  const auto big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kSetupIcon), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), LR_SHARED));
  const auto small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kSetupIcon),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  try {
    controller_ = options_.createController(*this, prompts_);
    controller_->Initialise();
  } catch (...) {
    controller_.reset();
    prompts_.ShowWarning(ExceptionText(std::current_exception()), kExceptionCaption);
    return FALSE;
  }
  // A simulated reader types on this thread, from inside a send; the text
  // is typed once the current message has been handled.
  hidhost::CurrentServices().SetKeyboardSink([this](const std::string& text) {
    if (!dialog_) return;
    typed_.push_back(text);
    PostMessageW(dialog_, kTypedMessage, 0, 0);
  });
  return FALSE;  // the controller has set the focus
}

void Win32SetupWindow::OnDestroy() {
  hidhost::CurrentServices().SetKeyboardSink({});
  timerRunning_ = false;
  controller_.reset();
  typed_.clear();
  dialog_ = nullptr;
}

void Win32SetupWindow::Guarded(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    prompts_.ShowWarning(ExceptionText(std::current_exception()), kExceptionCaption);
  }
}

void Win32SetupWindow::TypeIntoFocus() {
  if (typed_.empty()) return;
  const std::string text = std::move(typed_.front());
  typed_.pop_front();
  const HWND target = GetFocus();
  if (!target || (target != dialog_ && !IsChild(dialog_, target))) return;
  for (const char c : text) {
    if (c != '\n') PostKeystroke(target, c);
  }
}

std::string Win32SetupWindow::Text(Control id) const {
  return win32ui::GetWindowTextLatin1(Item(id));
}

std::optional<std::string> Win32SetupWindow::TypedText(Control id) const {
  return win32ui::GetTypedTextLatin1(Item(id));
}

void Win32SetupWindow::SetText(Control id, const std::string& text) {
  win32ui::SetWindowTextLatin1(Item(id), text);
}

void Win32SetupWindow::Enable(Control id, bool enabled) { EnableWindow(Item(id), enabled); }

void Win32SetupWindow::Focus(Control id) { SetFocus(Item(id)); }

void Win32SetupWindow::StartSendTimer(uint32_t periodMs) {
  timerRunning_ = true;
  timerPeriod_ = periodMs;
  if (options_.timerMode == TimerMode::Real) SetTimer(dialog_, kSendTimerId, periodMs, nullptr);
}

void Win32SetupWindow::StopSendTimer() {
  timerRunning_ = false;
  if (dialog_) KillTimer(dialog_, kSendTimerId);
}

void Win32SetupWindow::PostClose() { PostMessageW(dialog_, WM_CLOSE, 0, 0); }

}  // namespace skelmar
