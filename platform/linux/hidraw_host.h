// The host layer on Linux: HID interfaces from hidraw nodes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "hidhost/host.h"
#include "node_catalog.h"

namespace hidhost::hidraw {

class HidrawHost : public Host {
 public:
  // `sysRoot` and `devRoot` are where sysfs and the device nodes live (tests
  // point them at an emulated tree).
  explicit HidrawHost(std::shared_ptr<Clock> clock, std::string sysRoot = "/sys",
                      std::string devRoot = "/dev");

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  std::unique_ptr<Device> Open(const std::string& path, Access access) override;
  Clock& clock() override { return *clock_; }

 private:
  std::shared_ptr<Clock> clock_;
  std::string sysRoot_;
  std::string devRoot_;
  NodeCatalog catalog_;
  std::mutex pathsMutex_;
  uint64_t pathsGeneration_ = UINT64_MAX;
  std::vector<std::string> paths_;  // of that generation
};

}  // namespace hidhost::hidraw
