// The system's word on HID interfaces that come and go, for
// Win32Api::WatchHidInterfaces (whose comment is the contract).
#pragma once

#include <functional>
#include <memory>

#include "win32_api.h"

namespace hidhost::win {

std::unique_ptr<Win32Api::Watch> WatchHidInterfaceClass(std::function<void()> changed);

}  // namespace hidhost::win
