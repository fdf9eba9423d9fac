// The real Win32 calls of the Windows backend. This file includes the SDK's
// HID headers and therefore never hidhost/hidp.h.
#include "win32_api.h"

#include "interface_watch.h"

#include <windows.h>
// After windows.h. MinGW's HID headers do not declare C linkage themselves.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

namespace hidhost::win {

Win32Api::~Win32Api() = default;
Win32Api::Watch::~Watch() = default;

namespace {

static_assert(sizeof(HIDP_CAPS) == 64 && sizeof(HIDP_BUTTON_CAPS) == 72 && sizeof(HIDP_VALUE_CAPS) == 72,
              "the HIDP_* records of hidhost/hidp.h have the system's layout");

// Waits for an overlapped operation, cancelling it once `cancelled` is set.
bool Finish(HANDLE handle, OVERLAPPED* overlapped, DWORD* done, const std::atomic<bool>* cancelled) {
  if (cancelled != nullptr) {
    while (WaitForSingleObject(overlapped->hEvent, 50) == WAIT_TIMEOUT) {
      if (cancelled->load()) {
        CancelIoEx(handle, overlapped);
        break;
      }
    }
  }
  return GetOverlappedResult(handle, overlapped, done, TRUE) != FALSE;
}

class SystemApi : public Win32Api {
 public:
  bool HidInterfacePaths(std::vector<std::wstring>* paths) override {
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    HDEVINFO set = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return false;
    paths->clear();
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, i, &data); ++i) {
      DWORD size = 0;
      SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
      if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
      std::vector<uint8_t> buffer(size);
      auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
      detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
      if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) {
        paths->push_back(detail->DevicePath);
      }
    }
    const DWORD error = GetLastError();
    SetupDiDestroyDeviceInfoList(set);
    SetLastError(error == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : error);
    return error == ERROR_NO_MORE_ITEMS;
  }

  std::unique_ptr<Watch> WatchHidInterfaces(std::function<void()> changed) override {
    return WatchHidInterfaceClass(std::move(changed));
  }

  Handle Open(const std::wstring& path, uint32_t desiredAccess, bool overlapped) override {
    HANDLE handle = CreateFileW(path.c_str(), desiredAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }

  void Close(Handle handle) override { CloseHandle(handle); }

  bool GetAttributes(Handle handle, uint16_t* vendor, uint16_t* product, uint16_t* version) override {
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(handle, &attributes)) return false;
    *vendor = attributes.VendorID;
    *product = attributes.ProductID;
    *version = attributes.VersionNumber;
    return true;
  }

  void* GetPreparsedData(Handle handle) override {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    return HidD_GetPreparsedData(handle, &preparsed) ? preparsed : nullptr;
  }

  void FreePreparsedData(void* preparsed) override {
    HidD_FreePreparsedData(static_cast<PHIDP_PREPARSED_DATA>(preparsed));
  }

  int32_t GetCaps(void* preparsed, void* caps) override {
    return HidP_GetCaps(static_cast<PHIDP_PREPARSED_DATA>(preparsed), static_cast<HIDP_CAPS*>(caps));
  }

  int32_t GetLinkCollectionNodes(void* nodes, uint32_t* length, void* preparsed) override {
    ULONG n = *length;
    const NTSTATUS status = HidP_GetLinkCollectionNodes(static_cast<HIDP_LINK_COLLECTION_NODE*>(nodes), &n,
                                                        static_cast<PHIDP_PREPARSED_DATA>(preparsed));
    *length = n;
    return status;
  }

  int32_t GetButtonCaps(int type, void* caps, uint16_t* length, void* preparsed) override {
    return HidP_GetButtonCaps(static_cast<HIDP_REPORT_TYPE>(type), static_cast<HIDP_BUTTON_CAPS*>(caps), length,
                              static_cast<PHIDP_PREPARSED_DATA>(preparsed));
  }

  int32_t GetValueCaps(int type, void* caps, uint16_t* length, void* preparsed) override {
    return HidP_GetValueCaps(static_cast<HIDP_REPORT_TYPE>(type), static_cast<HIDP_VALUE_CAPS*>(caps), length,
                             static_cast<PHIDP_PREPARSED_DATA>(preparsed));
  }

  int32_t GetUsageValue(int type, uint16_t page, uint16_t link, uint16_t usage, uint32_t* value, void* preparsed,
                        const uint8_t* report, uint32_t length) override {
    ULONG v = 0;
    const NTSTATUS status =
        HidP_GetUsageValue(static_cast<HIDP_REPORT_TYPE>(type), page, link, usage, &v,
                           static_cast<PHIDP_PREPARSED_DATA>(preparsed),
                           reinterpret_cast<PCHAR>(const_cast<uint8_t*>(report)), length);
    *value = v;
    return status;
  }

  int32_t GetUsagesEx(int type, uint16_t link, void* list, uint32_t* count, void* preparsed,
                      const uint8_t* report, uint32_t length) override {
    ULONG n = *count;
    const NTSTATUS status =
        HidP_GetUsagesEx(static_cast<HIDP_REPORT_TYPE>(type), link, static_cast<USAGE_AND_PAGE*>(list), &n,
                         static_cast<PHIDP_PREPARSED_DATA>(preparsed),
                         reinterpret_cast<PCHAR>(const_cast<uint8_t*>(report)), length);
    *count = n;
    return status;
  }

  bool GetFeature(Handle handle, uint8_t* report, uint32_t length) override {
    return HidD_GetFeature(handle, report, length) != FALSE;
  }

  bool SetFeature(Handle handle, const uint8_t* report, uint32_t length) override {
    return HidD_SetFeature(handle, const_cast<uint8_t*>(report), length) != FALSE;
  }

  bool ReadOverlapped(Handle handle, uint8_t* buffer, uint32_t length, uint32_t* received,
                      const std::atomic<bool>& cancelled) override {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) return false;
    DWORD done = 0;
    bool ok = ReadFile(handle, buffer, length, &done, &overlapped) != FALSE;
    if (!ok && GetLastError() == ERROR_IO_PENDING) ok = Finish(handle, &overlapped, &done, &cancelled);
    const DWORD error = GetLastError();
    CloseHandle(overlapped.hEvent);
    SetLastError(ok ? ERROR_SUCCESS : error);
    *received = done;
    return ok;
  }

  bool WriteOverlapped(Handle handle, const uint8_t* report, uint32_t length) override {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) return false;
    DWORD done = 0;
    bool ok = WriteFile(handle, report, length, &done, &overlapped) != FALSE;
    if (!ok && GetLastError() == ERROR_IO_PENDING) ok = Finish(handle, &overlapped, &done, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(overlapped.hEvent);
    SetLastError(ok ? ERROR_SUCCESS : error);
    return ok;
  }

  bool GetString(Handle handle, String which, uint32_t index, wchar_t* buffer, uint32_t bytes) override {
    switch (which) {
      case String::Manufacturer: return HidD_GetManufacturerString(handle, buffer, bytes) != FALSE;
      case String::Product: return HidD_GetProductString(handle, buffer, bytes) != FALSE;
      case String::SerialNumber: return HidD_GetSerialNumberString(handle, buffer, bytes) != FALSE;
      case String::Indexed: return HidD_GetIndexedString(handle, index, buffer, bytes) != FALSE;
    }
    return false;
  }
};

}  // namespace

std::shared_ptr<Win32Api> MakeSystemApi() { return std::make_shared<SystemApi>(); }

}  // namespace hidhost::win
