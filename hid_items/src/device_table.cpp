#include "device_table.h"

#include <string>
#include <vector>

#include "error_codes.h"

namespace tandril {

DeviceTable& DeviceTable::Instance() {
  // Never destroyed: devices still open when the library is unloaded are
  // left to the process's end, as the platform handles are.
  static DeviceTable* table = new DeviceTable;
  return *table;
}

HIDDevice* DeviceTable::Lookup(uint32_t handle) {
  if (handle == 0 || handle > kSlotCount || !slots_[handle - 1]) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return nullptr;
  }
  return slots_[handle - 1].get();
}

bool DeviceTable::IsOpen(uint32_t position) const {
  return position < kSlotCount && slots_[position] != nullptr;
}

uint32_t DeviceTable::Install(uint32_t position, std::unique_ptr<HIDDevice> device) {
  slots_[position] = std::move(device);
  return position + 1;
}

std::unique_ptr<HIDDevice> DeviceTable::Remove(uint32_t handle) {
  return std::move(slots_[handle - 1]);
}

std::unique_ptr<hidhost::Device> OpenDeviceAtPosition(uint32_t position, hidhost::Access access) {
  std::vector<std::string> paths;
  if (!hidhost::CurrentHost().EnumerateInterfaces(&paths)) return nullptr;
  if (position >= paths.size()) {
    hidhost::SetLastError(kErrorNoMoreItems);
    return nullptr;
  }
  return hidhost::CurrentHost().Open(paths[position], access);
}

}  // namespace tandril
