// hid-emulate's work: the interfaces of a preset or device file as kernel
// HID devices through /dev/uhid, answered by the device models, until told
// to stop.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace hidhost::uhid {

struct EmulatorOptions {
  std::string source;                  // preset name or JSON device file
  std::optional<uint64_t> seconds;     // run this long, else until stopFd
  std::string uhidPath = "/dev/uhid";
  std::string sysRoot = "/sys";
  int stopFd = -1;                     // readable: stop (a signalfd), -1 for none
};

// Exit status: 0 after a clean end, 1 when the kernel cannot be reached or
// refuses a device, 2 for bad input. One line per interface goes to `out`
// once its hidraw node exists ("1c5e:2420 interface 0 /dev/hidraw3"), and
// one when a device unplugs; problems go to `err`, one line each.
int RunEmulator(const EmulatorOptions& options, std::FILE* out, std::FILE* err);

}  // namespace hidhost::uhid
