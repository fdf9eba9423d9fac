// The system services on Windows. Readers type as a real keyboard into the
// focused window, so there is no keyboard sink to feed.
#include <windows.h>

#include <string>

#include "hidhost/errors.h"
#include "hidhost/system_services.h"
#include "text/wide_text.h"

namespace hidhost {
namespace {

std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// `name` in the own folder, then on the search path.
std::wstring FindProgram(const std::wstring& name) {
  const std::wstring own = OwnFolder();
  if (!own.empty() && IsFile(own + L"\\" + name)) return own + L"\\" + name;
  wchar_t found[MAX_PATH];
  const DWORD n = SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr);
  return n > 0 && n < MAX_PATH ? std::wstring(found, n) : std::wstring();
}

class WindowsServices : public SystemServices {
 public:
  void SetKeyboardSink(KeyboardSink) override {}

  bool StartProgram(const std::string& name) override {
    const std::wstring wide = WideFromUtf8(name);
    const std::wstring file =
        wide.empty() || wide.find_first_of(L"\\/:") != std::wstring::npos ? std::wstring() : FindProgram(wide);
    if (file.empty()) {
      SetLastError(kErrorFileNotFound);
      return false;
    }
    std::wstring commandLine = L"\"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
      SetLastError(kErrorFileNotFound);
      return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
  }

  bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
};

}  // namespace

std::shared_ptr<SystemServices> MakeOsServices() { return std::make_shared<WindowsServices>(); }

}  // namespace hidhost
