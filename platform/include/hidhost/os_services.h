// Operating-system services shared by the host backends: program start and
// the Caps Lock state. The OS backend and the simulated host both call these;
// nothing outside the host layer does.
#pragma once

#include <string>

#include "hidhost/export.h"

namespace hidhost {

// The file a bare program name stands for: `name` in `ownDir` first, then in
// each folder of `pathList` (colon-separated, as PATH). Only regular files
// that may be executed count. Empty when none is found, or when `name` is
// empty or holds a '/'.
HIDHOST_API std::string FindProgram(const std::string& name, const std::string& ownDir,
                                    const std::string& pathList);

// The folder of the running program ("" when it cannot be told).
HIDHOST_API std::string OwnProgramFolder();

// Starts `file` with no arguments and the current environment, without
// waiting for it to end. True once the program has been started; false with
// the last-error code set (2 when it cannot be started).
HIDHOST_API bool StartDetached(const std::string& file);

// FindProgram in the own folder and on PATH, then StartDetached. False with
// 2 when the program cannot be found or started.
HIDHOST_API bool StartProgramByName(const std::string& name);

// Whether Caps Lock is on, from the keyboard LEDs under `ledsDir` (entries
// named "<device>::capslock" with a "brightness" file): on when any of them
// is lit. False when there are none or none can be read.
HIDHOST_API bool CapsLockFromLeds(const std::string& ledsDir = "/sys/class/leds");

}  // namespace hidhost
