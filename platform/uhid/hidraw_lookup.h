// Finds the hidraw node the kernel made for a device, through sysfs.
#pragma once

#include <string>

namespace hidhost::uhid {

// "/dev/hidrawN" of the HID device whose uevent says HID_PHYS=`phys`, under
// <sysRoot>/bus/hid/devices; empty while there is none.
std::string FindHidrawNode(const std::string& sysRoot, const std::string& phys);

}  // namespace hidhost::uhid
