#include "device_table.h"

#include <atomic>
#include <string>
#include <vector>

#include "error_codes.h"

namespace tandril {

namespace {
// Made on first use and never destroyed by a static destructor, whose order
// against the event workers' would be unknown; the workers' registry closes
// what is still open at unload and then discards the table.
std::atomic<DeviceTable*> g_table{nullptr};
}  // namespace

DeviceTable& DeviceTable::Instance() {
  DeviceTable* table = g_table.load(std::memory_order_acquire);
  if (!table) {
    auto* fresh = new DeviceTable;
    if (g_table.compare_exchange_strong(table, fresh, std::memory_order_acq_rel)) {
      table = fresh;
    } else {
      delete fresh;  // another thread was first
    }
  }
  return *table;
}

void DeviceTable::Discard() { delete g_table.exchange(nullptr); }

HIDDevice* DeviceTable::Lookup(uint32_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle == 0 || handle > kSlotCount || !slots_[handle - 1]) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return nullptr;
  }
  return slots_[handle - 1].get();
}

bool DeviceTable::IsOpen(uint32_t position) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return position < kSlotCount && slots_[position] != nullptr;
}

uint32_t DeviceTable::Install(uint32_t position, std::unique_ptr<HIDDevice> device) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!slots_[position]) {
      slots_[position] = std::move(device);
      return position + 1;
    }
  }
  hidhost::SetLastError(hidhost::kErrorBusy);
  return 0;  // `device` is freed outside the lock
}

std::unique_ptr<HIDDevice> DeviceTable::Remove(uint32_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle == 0 || handle > kSlotCount) return nullptr;
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
