// Caps Lock from the keyboard LEDs in sysfs: /sys/class/leds/<dev>::capslock.
#include <filesystem>
#include <fstream>
#include <string>

#include "posix_services.h"

namespace hidhost {

bool CapsLockFromLeds(const std::string& ledsDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(ledsDir, ec);
  if (ec) return false;
  for (const fs::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    const std::string suffix = "::capslock";
    if (name.size() < suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    std::ifstream brightness(entry.path() / "brightness");
    long value = 0;
    if (brightness >> value && value > 0) return true;
  }
  return false;
}

}  // namespace hidhost
