// The operating system's backend of the host layer.
#pragma once

#include <memory>

#include "hidhost/host.h"

namespace hidhost {

// The host for real devices on this platform (Linux: hidraw).
HIDHOST_API std::shared_ptr<Host> MakeOsHost();

}  // namespace hidhost
