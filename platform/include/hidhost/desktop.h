// Whether a graphical program can show its windows here: on Linux, whether
// a display server has been named. Asked before the toolkit starts, which
// otherwise aborts the program when there is none.
#pragma once

#include <functional>

namespace hidhost {

// Looks an environment variable up; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// True when DISPLAY or WAYLAND_DISPLAY names a display, or QT_QPA_PLATFORM
// chooses where windows go (offscreen, a VNC server); always true on
// Windows, which has its desktop.
bool HasDesktop(const EnvironmentLookup& lookup);
// The same from the process's environment.
bool HasDesktop();

}  // namespace hidhost
