#include "hidhost/desktop.h"

#include <cstdlib>

namespace hidhost {

bool HasDesktop(const EnvironmentLookup& lookup) {
#ifdef _WIN32
  (void)lookup;
  return true;
#else
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = lookup(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
#endif
}

bool HasDesktop() {
  return HasDesktop([](const char* name) { return std::getenv(name); });
}

}  // namespace hidhost
