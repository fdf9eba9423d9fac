#include "hidraw_lookup.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace hidhost::uhid {

namespace fs = std::filesystem;

std::string FindHidrawNode(const std::string& sysRoot, const std::string& phys) {
  std::error_code ec;
  const std::string wanted = "HID_PHYS=" + phys;
  for (const fs::directory_entry& device : fs::directory_iterator(sysRoot + "/bus/hid/devices", ec)) {
    std::ifstream uevent(device.path() / "uevent");
    std::string line;
    bool match = false;
    while (!match && std::getline(uevent, line)) match = line == wanted;
    if (!match) continue;
    std::error_code listError;
    for (const fs::directory_entry& node : fs::directory_iterator(device.path() / "hidraw", listError)) {
      const std::string name = node.path().filename().string();
      if (name.rfind("hidraw", 0) == 0) return "/dev/" + name;
    }
    return {};
  }
  return {};
}

}  // namespace hidhost::uhid
