// The host layer on Windows: HID interfaces through SetupAPI and hid.dll,
// every system call through a Win32Api table.
#pragma once

#include <memory>
#include <string>

#include "hidhost/host.h"
#include "win32_api.h"

namespace hidhost::win {

class WindowsHost : public Host {
 public:
  WindowsHost(std::shared_ptr<Win32Api> api, std::shared_ptr<Clock> clock);

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  // Query opens ask for no access rights (attributes, strings and feature
  // reports need none); read-write opens ask for both, overlapped for reads.
  std::unique_ptr<Device> Open(const std::string& path, Access access) override;
  Clock& clock() override { return *clock_; }

 private:
  std::shared_ptr<Win32Api> api_;
  std::shared_ptr<Clock> clock_;
};

}  // namespace hidhost::win
