#include "scripted_api.h"

#include <cstring>
#include <thread>

#include "hidhost/errors.h"

namespace hidhost::win::testing {

namespace {
hid::PHIDP_PREPARSED_DATA Model(void* preparsed) { return static_cast<hid::PHIDP_PREPARSED_DATA>(preparsed); }
}  // namespace

void ScriptedApi::SetDescriptor(const std::vector<uint8_t>& descriptor) {
  hid::ParseResult parsed = hid::ParseReportDescriptor(descriptor.data(), descriptor.size());
  model = parsed.collections.empty() ? nullptr : parsed.collections.front();
}

bool ScriptedApi::HidInterfacePaths(std::vector<std::wstring>* out) {
  ++listReads;
  *out = paths;
  return true;
}

std::unique_ptr<Win32Api::Watch> ScriptedApi::WatchHidInterfaces(std::function<void()> callback) {
  if (watchFails) {
    SetLastError(kErrorCallNotImplemented);
    return nullptr;
  }
  // Ends the watch as the system's does: no call after.
  class ScriptedWatch : public Watch {
   public:
    explicit ScriptedWatch(std::function<void()>* slot) : slot_(slot) {}
    ~ScriptedWatch() override { *slot_ = nullptr; }

   private:
    std::function<void()>* slot_;
  };
  changed = std::move(callback);
  return std::make_unique<ScriptedWatch>(&changed);
}

Handle ScriptedApi::Open(const std::wstring& path, uint32_t desiredAccess, bool overlapped) {
  opens.push_back({path, desiredAccess, overlapped});
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths[i] == path) return reinterpret_cast<Handle>(i + 1);
  }
  SetLastError(kErrorFileNotFound);
  return nullptr;
}

bool ScriptedApi::GetAttributes(Handle, uint16_t* vendor, uint16_t* productId, uint16_t* version) {
  *vendor = 0x1C5E, *productId = 0x2420, *version = 0x0100;
  return true;
}

void* ScriptedApi::GetPreparsedData(Handle) { return const_cast<hid::HIDP_PREPARSED_DATA*>(model.get()); }

int32_t ScriptedApi::GetCaps(void* preparsed, void* caps) {
  return hid::HidP_GetCaps(Model(preparsed), static_cast<hid::HIDP_CAPS*>(caps));
}

int32_t ScriptedApi::GetLinkCollectionNodes(void* nodes, uint32_t* length, void* preparsed) {
  return hid::HidP_GetLinkCollectionNodes(static_cast<hid::HIDP_LINK_COLLECTION_NODE*>(nodes), length,
                                          Model(preparsed));
}

int32_t ScriptedApi::GetButtonCaps(int type, void* caps, uint16_t* length, void* preparsed) {
  return hid::HidP_GetButtonCaps(static_cast<hid::HIDP_REPORT_TYPE>(type), static_cast<hid::HIDP_BUTTON_CAPS*>(caps),
                                 length, Model(preparsed));
}

int32_t ScriptedApi::GetValueCaps(int type, void* caps, uint16_t* length, void* preparsed) {
  return hid::HidP_GetValueCaps(static_cast<hid::HIDP_REPORT_TYPE>(type), static_cast<hid::HIDP_VALUE_CAPS*>(caps),
                                length, Model(preparsed));
}

int32_t ScriptedApi::GetUsageValue(int type, uint16_t page, uint16_t link, uint16_t usage, uint32_t* value,
                                   void* preparsed, const uint8_t* report, uint32_t length) {
  return hid::HidP_GetUsageValue(static_cast<hid::HIDP_REPORT_TYPE>(type), page, link, usage, value,
                                 Model(preparsed), reinterpret_cast<const char*>(report), length);
}

int32_t ScriptedApi::GetUsagesEx(int type, uint16_t link, void* list, uint32_t* count, void* preparsed,
                                 const uint8_t* report, uint32_t length) {
  return hid::HidP_GetUsagesEx(static_cast<hid::HIDP_REPORT_TYPE>(type), link,
                               static_cast<hid::USAGE_AND_PAGE*>(list), count, Model(preparsed),
                               reinterpret_cast<const char*>(report), length);
}

bool ScriptedApi::GetFeature(Handle, uint8_t* report, uint32_t length) {
  std::memset(report + 1, 0x5A, length - 1);
  return true;
}

bool ScriptedApi::ReadOverlapped(Handle, uint8_t*, uint32_t, uint32_t* received,
                                 const std::atomic<bool>& cancelled) {
  while (!cancelled.load()) std::this_thread::yield();
  *received = 0;
  SetLastError(kErrorOperationAborted);
  return false;
}

bool ScriptedApi::GetString(Handle, String which, uint32_t, wchar_t* buffer, uint32_t bytes) {
  if (which != String::Product) {
    SetLastError(kErrorGenFailure);
    return false;
  }
  if (bytes / sizeof(wchar_t) < product.size() + 1) {
    SetLastError(kErrorInvalidUserBuffer);
    return false;
  }
  std::wmemcpy(buffer, product.c_str(), product.size() + 1);
  return true;
}

}  // namespace hidhost::win::testing
