// MakeOsHost(): the hidraw backend on the real system roots and clock.
#include "hidhost/os_host.h"

#include "hidraw_host.h"

namespace hidhost {

std::shared_ptr<Host> MakeOsHost() {
  return std::make_shared<hidraw::HidrawHost>(MakeRealClock());
}

std::shared_ptr<Host> MakeHidrawHost(std::shared_ptr<Clock> clock, const std::string& sysRoot,
                                     const std::string& devRoot) {
  return std::make_shared<hidraw::HidrawHost>(std::move(clock), sysRoot, devRoot);
}

}  // namespace hidhost
