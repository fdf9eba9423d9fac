// The process-wide table of open devices. The slot of a device is its
// enumeration position; its handle is position + 1. Every export that takes
// a handle goes through Lookup(); only OpenHIDDevice and CloseHIDDevice
// change the table, through Install() and Remove().
//
// The slots are guarded by a lock of the table, held only for the slot
// itself: an event callback may look a handle up while the client's thread
// closes that device (the close then waits for the callback to return).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "hid_device.h"

namespace tandril {

constexpr uint32_t kSlotCount = 20;

class DeviceTable {
 public:
  static DeviceTable& Instance();
  // Frees the table once every device is closed (library unload); a later
  // Instance() makes a new, empty one.
  static void Discard();

  // The device of `handle`; null with ERROR_INVALID_PARAMETER for 0, a
  // handle above 20 or an empty slot.
  HIDDevice* Lookup(uint32_t handle);
  bool IsOpen(uint32_t position) const;
  // Stores `device` in the slot `position` (< kSlotCount) and gives its
  // handle; 0 with ERROR_BUSY when the slot is taken meanwhile (the device
  // is then freed).
  uint32_t Install(uint32_t position, std::unique_ptr<HIDDevice> device);
  // Takes the device of a valid handle out of its slot.
  std::unique_ptr<HIDDevice> Remove(uint32_t handle);

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<HIDDevice> slots_[kSlotCount];
};

// The platform device at an enumeration position, or null (error code as the
// host left it; 259 when the position is past the last interface).
std::unique_ptr<hidhost::Device> OpenDeviceAtPosition(uint32_t position, hidhost::Access access);

}  // namespace tandril
