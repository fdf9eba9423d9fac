// A scripted Win32 table: interfaces listed from a vector, opens recorded,
// and the HidP_* calls answered by the suite's own parser on a descriptor,
// standing in for the system's preparsed data.
#pragma once

#include <string>
#include <vector>

#include "hidhost/hidp.h"
#include "win32_api.h"

namespace hidhost::win::testing {

class ScriptedApi : public Win32Api {
 public:
  struct OpenCall {
    std::wstring path;
    uint32_t access;
    bool overlapped;
  };

  // The model the HidP_* entries answer for: the first top-level collection
  // of `descriptor`.
  void SetDescriptor(const std::vector<uint8_t>& descriptor);

  std::vector<std::wstring> paths;
  int listReads = 0;  // HidInterfacePaths calls
  // The watch's callback while one is live; with `watchFails` none is given.
  std::function<void()> changed;
  bool watchFails = false;
  std::vector<OpenCall> opens;
  std::wstring product = L"Card Reader";
  hid::PreparsedPtr model;

  bool HidInterfacePaths(std::vector<std::wstring>* out) override;
  std::unique_ptr<Watch> WatchHidInterfaces(std::function<void()> callback) override;
  Handle Open(const std::wstring& path, uint32_t desiredAccess, bool overlapped) override;
  void Close(Handle) override {}
  bool GetAttributes(Handle, uint16_t* vendor, uint16_t* product, uint16_t* version) override;
  void* GetPreparsedData(Handle) override;
  void FreePreparsedData(void*) override {}
  int32_t GetCaps(void* preparsed, void* caps) override;
  int32_t GetLinkCollectionNodes(void* nodes, uint32_t* length, void* preparsed) override;
  int32_t GetButtonCaps(int type, void* caps, uint16_t* length, void* preparsed) override;
  int32_t GetValueCaps(int type, void* caps, uint16_t* length, void* preparsed) override;
  int32_t GetUsageValue(int type, uint16_t page, uint16_t link, uint16_t usage, uint32_t* value, void* preparsed,
                        const uint8_t* report, uint32_t length) override;
  int32_t GetUsagesEx(int type, uint16_t link, void* list, uint32_t* count, void* preparsed,
                      const uint8_t* report, uint32_t length) override;
  bool GetFeature(Handle, uint8_t* report, uint32_t length) override;
  bool SetFeature(Handle, const uint8_t*, uint32_t) override { return true; }
  // Waits for the cancel flag (no report ever comes) and fails with 995.
  bool ReadOverlapped(Handle, uint8_t*, uint32_t, uint32_t* received, const std::atomic<bool>& cancelled) override;
  bool WriteOverlapped(Handle, const uint8_t*, uint32_t) override { return true; }
  bool GetString(Handle, String which, uint32_t index, wchar_t* buffer, uint32_t bytes) override;
};

}  // namespace hidhost::win::testing
