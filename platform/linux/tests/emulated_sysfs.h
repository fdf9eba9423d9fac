// A sysfs-like tree of plain files for the hidraw backend's tests: the
// hidraw class directory, the HID device above each node (uevent,
// report_descriptor) and, for USB devices, the USB interface and device
// with their attributes; plus keyboard LEDs for the Caps Lock state.
#pragma once

#include <cstdint>
#include <string>

#include "hidhost/sim_device.h"

namespace hidhost::hidraw::testing {

class EmulatedSysfs {
 public:
  explicit EmulatedSysfs(std::string root);

  const std::string& root() const { return root_; }

  // Writes the files of node hidraw<minor> for `definition`. Without `usb` the HID
  // device sits on the virtual bus with no USB device above it.
  void AddNode(uint32_t minor, const sim::DeviceDefinition& definition, bool usb);
  void RemoveNode(uint32_t minor);
  void SetCapsLock(bool on);

 private:
  std::string HidDirectory(uint32_t minor, const sim::DeviceDefinition& definition, bool usb) const;

  std::string root_;
};

// The name the HID driver gives a device: manufacturer and product joined.
std::string HidName(const sim::DeviceDefinition& definition);

}  // namespace hidhost::hidraw::testing
