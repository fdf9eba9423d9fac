// MakeOsServices() on POSIX systems.
#include "posix_services.h"

namespace hidhost {

std::shared_ptr<SystemServices> MakeOsServices() { return std::make_shared<PosixServices>(); }

}  // namespace hidhost
