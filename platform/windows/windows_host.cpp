#include "windows_host.h"

#include <atomic>
#include <mutex>

#include "hidhost/os_host.h"
#include "text/wide_text.h"
#include "wide_copy.h"
#include "report_rebuild.h"

namespace hidhost::win {
namespace {

// The longest string HidD_Get*String gives, in bytes.
constexpr uint32_t kStringBytes = 4093;

class WindowsDevice : public Device {
 public:
  WindowsDevice(std::shared_ptr<Win32Api> api, Handle handle, Access access)
      : api_(std::move(api)), handle_(handle), access_(access) {}
  ~WindowsDevice() override {
    CancelRead();
    api_->Close(handle_);
  }

  bool GetAttributes(Attributes* out) override {
    if (out == nullptr) return Fail(kErrorInvalidParameter);
    return api_->GetAttributes(handle_, &out->VendorID, &out->ProductID, &out->VersionNumber);
  }

  hid::PreparsedPtr GetPreparsedData() override {
    std::lock_guard lock(modelMutex_);
    if (model_) return model_;
    void* preparsed = api_->GetPreparsedData(handle_);
    if (preparsed == nullptr) return nullptr;
    const auto descriptor = RebuildDescriptor(*api_, preparsed);
    api_->FreePreparsedData(preparsed);
    if (!descriptor) {
      SetLastError(kErrorGenFailure);
      return nullptr;
    }
    hid::ParseResult parsed = hid::ParseReportDescriptor(descriptor->data(), descriptor->size());
    if (!parsed.ok() || parsed.collections.size() != 1) {
      SetLastError(kErrorGenFailure);
      return nullptr;
    }
    model_ = parsed.collections.front();
    return model_;
  }

  bool GetFeature(uint8_t* report, size_t length) override {
    if (report == nullptr || length == 0 || length > UINT32_MAX) return Fail(kErrorInvalidParameter);
    return api_->GetFeature(handle_, report, static_cast<uint32_t>(length));
  }

  bool SetFeature(const uint8_t* report, size_t length) override {
    if (report == nullptr || length == 0 || length > UINT32_MAX) return Fail(kErrorInvalidParameter);
    return api_->SetFeature(handle_, report, static_cast<uint32_t>(length));
  }

  bool ReadInput(uint8_t* report, size_t length, size_t* received) override {
    if (access_ != Access::ReadWrite) return Fail(kErrorAccessDenied);
    if (report == nullptr || received == nullptr || length == 0 || length > UINT32_MAX) {
      return Fail(kErrorInvalidParameter);
    }
    if (cancelled_.load()) return Fail(kErrorOperationAborted);
    uint32_t got = 0;
    if (!api_->ReadOverlapped(handle_, report, static_cast<uint32_t>(length), &got, cancelled_)) return false;
    if (cancelled_.load()) return Fail(kErrorOperationAborted);
    std::fill(report + got, report + length, 0);
    *received = got;
    return true;
  }

  void CancelRead() override { cancelled_.store(true); }

  bool WriteOutput(const uint8_t* report, size_t length) override {
    if (access_ != Access::ReadWrite) return Fail(kErrorAccessDenied);
    if (report == nullptr || length == 0 || length > UINT32_MAX) return Fail(kErrorInvalidParameter);
    return api_->WriteOverlapped(handle_, report, static_cast<uint32_t>(length));
  }

  bool GetManufacturerString(wchar_t* buffer, size_t bytes) override {
    return String(Win32Api::String::Manufacturer, 0, buffer, bytes);
  }
  bool GetProductString(wchar_t* buffer, size_t bytes) override {
    return String(Win32Api::String::Product, 0, buffer, bytes);
  }
  bool GetSerialNumberString(wchar_t* buffer, size_t bytes) override {
    return String(Win32Api::String::SerialNumber, 0, buffer, bytes);
  }
  bool GetIndexedString(uint32_t index, wchar_t* buffer, size_t bytes) override {
    return String(Win32Api::String::Indexed, index, buffer, bytes);
  }

 private:
  static bool Fail(uint32_t code) {
    SetLastError(code);
    return false;
  }

  // The whole string first, so that a short buffer fails with 122 as on
  // every platform instead of getting a cut string.
  bool String(Win32Api::String which, uint32_t index, wchar_t* buffer, size_t bytes) {
    std::wstring text(kStringBytes / sizeof(wchar_t) + 1, L'\0');
    if (!api_->GetString(handle_, which, index, text.data(), kStringBytes)) return false;
    text.resize(std::wstring_view(text.c_str()).size());
    return CopyWideString(text, buffer, bytes);
  }

  std::shared_ptr<Win32Api> api_;
  Handle handle_;
  Access access_;
  std::atomic<bool> cancelled_{false};
  std::mutex modelMutex_;
  hid::PreparsedPtr model_;
};

}  // namespace

WindowsHost::WindowsHost(std::shared_ptr<Win32Api> api, std::shared_ptr<Clock> clock)
    : api_(std::move(api)), clock_(std::move(clock)) {}

bool WindowsHost::EnumerateInterfaces(std::vector<std::string>* paths) {
  if (paths == nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  std::lock_guard lock(listMutex_);
  if (!watchTried_) {
    // Watched before the first read, so that no change slips in between.
    watchTried_ = true;
    watch_ = api_->WatchHidInterfaces([this] { changes_.fetch_add(1); });
  }
  if (!watch_) return ReadInterfaces(paths);
  const uint64_t changes = changes_.load();
  const uint64_t now = clock_->NowMs();
  if (!listRead_ || changes != listReadAt_ || now - listReadAtMs_ >= kListMaxAgeMs) {
    // A change told during the read leaves `changes_` ahead: the next call
    // reads again.
    if (!ReadInterfaces(&list_)) {
      listRead_ = false;
      return false;
    }
    listRead_ = true;
    listReadAt_ = changes;
    listReadAtMs_ = now;
  }
  *paths = list_;
  return true;
}

bool WindowsHost::ReadInterfaces(std::vector<std::string>* paths) {
  std::vector<std::wstring> wide;
  if (!api_->HidInterfacePaths(&wide)) return false;
  paths->clear();
  for (const auto& path : wide) paths->push_back(Utf8FromWide(path));
  return true;
}

std::unique_ptr<Device> WindowsHost::Open(const std::string& path, Access access) {
  bool valid = true;
  const std::wstring wide = WideFromUtf8(path, &valid);
  if (path.empty() || !valid || wide.find(L'\0') != std::wstring::npos) {
    SetLastError(kErrorFileNotFound);
    return nullptr;
  }
  const bool readWrite = access == Access::ReadWrite;
  Handle handle = api_->Open(wide, readWrite ? kGenericRead | kGenericWrite : 0, readWrite);
  if (handle == nullptr) return nullptr;
  return std::make_unique<WindowsDevice>(api_, handle, access);
}

}  // namespace hidhost::win

namespace hidhost {

std::shared_ptr<Host> MakeOsHost() {
  return std::make_shared<win::WindowsHost>(win::MakeSystemApi(), MakeRealClock());
}

}  // namespace hidhost
