// The Win32 calls of the Windows backend, as a table that tests replace with
// a scripted one. Each entry is one system call (or the few calls one system
// operation takes) and says what it does; failures leave the system's code
// in the thread's last-error code (hidhost::GetLastError()).
//
// No Windows header here: the HIDP_* records the entries take are those of
// hidhost/hidp.h, which has the same layout as the system's, and that header
// must never meet the SDK's hidpi.h in one file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hidhost::win {

using Handle = void*;  // a file handle; null for none

class Win32Api {
 public:
  virtual ~Win32Api();

  // SetupDiGetClassDevs(HID interface class, present devices),
  // SetupDiEnumDeviceInterfaces and SetupDiGetDeviceInterfaceDetail: the
  // interface paths in SetupAPI's order. False when the list cannot be built.
  virtual bool HidInterfacePaths(std::vector<std::wstring>* paths) = 0;

  // What WatchHidInterfaces returns; destroying it ends the watch.
  class Watch {
   public:
    virtual ~Watch();
  };
  // CM_Register_Notification (cfgmgr32, looked up when called, for systems
  // older than Windows 8 have none) for the HID interface class; failing
  // that, RegisterDeviceNotificationW for the class on a message-only window
  // of a thread of the watch's own. `changed` runs on another thread after
  // each arrival or removal of an interface. Destroying the watch waits for
  // a `changed` in progress, and none runs after. Null, with a last-error
  // code, when the system cannot tell about changes.
  virtual std::unique_ptr<Watch> WatchHidInterfaces(std::function<void()> changed) = 0;

  // CreateFileW(path, desiredAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
  // OPEN_EXISTING, FILE_FLAG_OVERLAPPED when `overlapped`). Null on failure.
  virtual Handle Open(const std::wstring& path, uint32_t desiredAccess, bool overlapped) = 0;
  // CloseHandle.
  virtual void Close(Handle handle) = 0;

  // HidD_GetAttributes.
  virtual bool GetAttributes(Handle handle, uint16_t* vendor, uint16_t* product, uint16_t* version) = 0;

  // HidD_GetPreparsedData (null on failure) and HidD_FreePreparsedData.
  virtual void* GetPreparsedData(Handle handle) = 0;
  virtual void FreePreparsedData(void* preparsed) = 0;

  // HidP_GetCaps, HidP_GetLinkCollectionNodes, HidP_GetButtonCaps,
  // HidP_GetValueCaps, HidP_GetUsageValue and HidP_GetUsagesEx on the
  // system's preparsed data. `caps`, `nodes` and `list` are HIDP_CAPS,
  // HIDP_LINK_COLLECTION_NODE, HIDP_BUTTON_CAPS, HIDP_VALUE_CAPS and
  // USAGE_AND_PAGE records. Each returns the NTSTATUS.
  virtual int32_t GetCaps(void* preparsed, void* caps) = 0;
  virtual int32_t GetLinkCollectionNodes(void* nodes, uint32_t* length, void* preparsed) = 0;
  virtual int32_t GetButtonCaps(int type, void* caps, uint16_t* length, void* preparsed) = 0;
  virtual int32_t GetValueCaps(int type, void* caps, uint16_t* length, void* preparsed) = 0;
  virtual int32_t GetUsageValue(int type, uint16_t page, uint16_t link, uint16_t usage, uint32_t* value,
                                void* preparsed, const uint8_t* report, uint32_t length) = 0;
  virtual int32_t GetUsagesEx(int type, uint16_t link, void* list, uint32_t* count, void* preparsed,
                              const uint8_t* report, uint32_t length) = 0;

  // HidD_GetFeature and HidD_SetFeature: byte 0 of `report` is the report ID.
  virtual bool GetFeature(Handle handle, uint8_t* report, uint32_t length) = 0;
  virtual bool SetFeature(Handle handle, const uint8_t* report, uint32_t length) = 0;

  // ReadFile on a handle opened overlapped, waited for. While it is pending,
  // `cancelled` is watched: once it is set, CancelIoEx ends the read and the
  // call fails with 995. *received gets the bytes read.
  virtual bool ReadOverlapped(Handle handle, uint8_t* buffer, uint32_t length, uint32_t* received,
                              const std::atomic<bool>& cancelled) = 0;

  // WriteFile of one output report on a handle opened overlapped, waited for.
  virtual bool WriteOverlapped(Handle handle, const uint8_t* report, uint32_t length) = 0;

  // HidD_GetManufacturerString, HidD_GetProductString,
  // HidD_GetSerialNumberString and HidD_GetIndexedString: `bytes` is the
  // buffer's size in bytes; the string is NUL-terminated UTF-16.
  enum class String { Manufacturer, Product, SerialNumber, Indexed };
  virtual bool GetString(Handle handle, String which, uint32_t index, wchar_t* buffer, uint32_t bytes) = 0;
};

// The real calls.
std::shared_ptr<Win32Api> MakeSystemApi();

// CreateFile's desired access for the two open modes.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;

}  // namespace hidhost::win
