// The operating system's backend of the host layer.
#pragma once

#include <memory>
#include <string>

#include "hidhost/host.h"

namespace hidhost {

// The host for real devices on this platform (Linux: hidraw; Windows: the
// HID class through SetupAPI and hid.dll).
HIDHOST_API std::shared_ptr<Host> MakeOsHost();

#if defined(__linux__)
// The hidraw backend on other roots than /sys and /dev, for the tests and
// benchmarks that serve an emulated device tree. Exported because they drive
// Tandril and the reader link on it, which reach the host only through this
// shared library.
HIDHOST_API std::shared_ptr<Host> MakeHidrawHost(std::shared_ptr<Clock> clock, const std::string& sysRoot,
                                                 const std::string& devRoot);
#endif

}  // namespace hidhost
