// The two ways the system tells of HID interfaces that come and go:
// configuration-manager notifications (Windows 8 and later) and, where those
// are missing (older systems, Wine), device-change messages to a window.
#include "interface_watch.h"

#include <windows.h>
// After windows.h. MinGW's HID headers do not declare C linkage themselves.
extern "C" {
#include <hidsdi.h>
}
#include <cfgmgr32.h>
#include <dbt.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace hidhost::win {
namespace {

// CM_Register_Notification and CM_Unregister_Notification, which the SDK
// declares from Windows 8 on only.
using RegisterNotification = DWORD(WINAPI*)(PCM_NOTIFY_FILTER, PVOID, PCM_NOTIFY_CALLBACK, PHCMNOTIFICATION);
using UnregisterNotification = DWORD(WINAPI*)(HCMNOTIFICATION);

// CM_Unregister_Notification waits for a callback in progress itself.
class NotificationWatch : public Win32Api::Watch {
 public:
  NotificationWatch(std::function<void()> changed, UnregisterNotification unregister)
      : changed_(std::move(changed)), unregister_(unregister) {}
  ~NotificationWatch() override {
    if (handle_ != nullptr) unregister_(handle_);
  }

  static DWORD CALLBACK Changed(HCMNOTIFICATION, PVOID context, CM_NOTIFY_ACTION, PCM_NOTIFY_EVENT_DATA, DWORD) {
    static_cast<NotificationWatch*>(context)->changed_();
    return ERROR_SUCCESS;
  }

  HCMNOTIFICATION handle_ = nullptr;

 private:
  std::function<void()> changed_;
  UnregisterNotification unregister_;
};

std::unique_ptr<Win32Api::Watch> WatchByNotification(const GUID& hidClass, const std::function<void()>& changed) {
  // Loaded once, for the life of the process.
  static const HMODULE cfgmgr = LoadLibraryW(L"cfgmgr32.dll");
  if (cfgmgr == nullptr) return nullptr;
  const auto registerNotification = reinterpret_cast<RegisterNotification>(
      reinterpret_cast<void*>(GetProcAddress(cfgmgr, "CM_Register_Notification")));
  const auto unregisterNotification = reinterpret_cast<UnregisterNotification>(
      reinterpret_cast<void*>(GetProcAddress(cfgmgr, "CM_Unregister_Notification")));
  if (registerNotification == nullptr || unregisterNotification == nullptr) return nullptr;
  CM_NOTIFY_FILTER filter{};
  filter.cbSize = sizeof filter;
  filter.FilterType = CM_NOTIFY_FILTER_TYPE_DEVICEINTERFACE;
  filter.u.DeviceInterface.ClassGuid = hidClass;
  auto watch = std::make_unique<NotificationWatch>(changed, unregisterNotification);
  if (registerNotification(&filter, watch.get(), &NotificationWatch::Changed, &watch->handle_) != CR_SUCCESS) {
    watch->handle_ = nullptr;
    return nullptr;
  }
  return watch;
}

// What the window's thread shares with the watch. The thread holds it until
// it ends, after the watch may be gone.
struct WindowState {
  explicit WindowState(std::function<void()> f) : changed(std::move(f)) {}

  // Runs `changed` unless the watch has ended; ending waits for a run.
  void Changed() {
    std::lock_guard lock(callMutex);
    if (changed) changed();
  }
  void End() {
    std::lock_guard lock(callMutex);
    changed = nullptr;
  }

  std::mutex callMutex;
  std::function<void()> changed;

  std::mutex startMutex;
  std::condition_variable startedSignal;
  bool started = false;
  bool watching = false;
  DWORD error = ERROR_SUCCESS;
  DWORD threadId = 0;
};

constexpr wchar_t kWindowClass[] = L"hidhost.InterfaceWatch";

LRESULT CALLBACK WatchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
    if (auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA))) state->Changed();
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The window's thread: registers, says whether that worked, then serves the
// window's messages until WM_QUIT.
void RunWatchWindow(const std::shared_ptr<WindowState>& state, GUID hidClass) {
  // The thread outlives its watch, so the module that holds its code stays
  // loaded until the process ends, even if a program frees the library.
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&WatchWindowProc), &module);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WatchWindowProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);  // fails harmlessly once the class exists
  HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
  HDEVNOTIFY notify = nullptr;
  if (window != nullptr) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = hidClass;
    notify = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  const DWORD error = GetLastError();
  {
    std::lock_guard lock(state->startMutex);
    state->started = true;
    state->watching = notify != nullptr;
    state->error = error;
    state->threadId = GetCurrentThreadId();
  }
  state->startedSignal.notify_all();
  if (notify != nullptr) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnregisterDeviceNotification(notify);
  }
  if (window != nullptr) DestroyWindow(window);
}

class WindowWatch : public Win32Api::Watch {
 public:
  explicit WindowWatch(std::shared_ptr<WindowState> state) : state_(std::move(state)) {}
  ~WindowWatch() override {
    state_->End();
    PostThreadMessageW(state_->threadId, WM_QUIT, 0, 0);
  }

 private:
  std::shared_ptr<WindowState> state_;
};

std::unique_ptr<Win32Api::Watch> WatchByWindow(const GUID& hidClass, const std::function<void()>& changed) {
  auto state = std::make_shared<WindowState>(changed);
  try {
    std::thread(RunWatchWindow, state, hidClass).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::unique_lock lock(state->startMutex);
  state->startedSignal.wait(lock, [&] { return state->started; });
  if (!state->watching) {
    SetLastError(state->error != ERROR_SUCCESS ? state->error : ERROR_GEN_FAILURE);
    return nullptr;
  }
  return std::make_unique<WindowWatch>(state);
}

}  // namespace

std::unique_ptr<Win32Api::Watch> WatchHidInterfaceClass(std::function<void()> changed) {
  GUID hidClass;
  HidD_GetHidGuid(&hidClass);
  if (auto watch = WatchByNotification(hidClass, changed)) return watch;
  return WatchByWindow(hidClass, changed);
}

}  // namespace hidhost::win
