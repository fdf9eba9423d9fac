// Reading and writing item values, and item strings.
#include <mutex>

#include "device_table.h"
#include "exports.h"
#include "item_path.h"
#include "item_values.h"

using namespace tandril;

extern "C" {

int32_t TANDRIL_CALL GetItemValue(uint32_t handle, const char* path, int32_t* value) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  if (!value) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  const auto parsed = ParsePathOrReport(path);
  if (!parsed) return 0;
  // An input item answers once an input report has carried it; until then
  // the feature item of the same usage does.
  if (const Item* input = FindItem(*device, *parsed, KindMask::Input);
      input && input->valid.load(std::memory_order_acquire) &&
      (input->flags & ItemFlags::HasString) == 0) {
    *value = input->value.load(std::memory_order_relaxed);
    return 1;
  }
  Item* feature = FindItem(*device, *parsed, KindMask::Feature);
  if (!feature || !RefreshItem(*feature)) return 0;
  *value = feature->value.load(std::memory_order_relaxed);
  return 1;
}

int32_t TANDRIL_CALL SetItemValue(uint32_t handle, const char* path, int32_t value) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  const auto parsed = ParsePathOrReport(path);
  if (!parsed) return 0;
  Item* item = FindItem(*device, *parsed, KindMask::Writable);
  if (!item || (item->flags & ItemFlags::Numeric) == 0) return 0;
  return WriteItem(*item, value) ? 1 : 0;
}

int32_t TANDRIL_CALL GetItemString(uint32_t handle, const char* path, wchar_t* buffer,
                                   uint32_t length) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  if (!buffer) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  const auto parsed = ParsePath(path);
  if (!parsed) return 0;
  const Item* item = FindItem(*device, *parsed, KindMask::Readable);
  if (!item || (item->flags & ItemFlags::HasString) == 0) return 0;
  std::lock_guard<std::mutex> lock(device->requestMutex);
  return device->platform->GetIndexedString(item->stringIndex, buffer, length & 0xFFFF) ? 1 : 0;
}

}  // extern "C"
