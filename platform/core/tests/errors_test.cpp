// The last-error code: per thread, and the documented mapping of OS errors.
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "hidhost/errors.h"

namespace hidhost {
namespace {

#if !defined(_WIN32)  // there the code is the system's own, which joining a thread may change
TEST(LastError, IsKeptPerThread) {
  SetLastError(kErrorNoMoreDevices);
  uint32_t seenThere = 1;
  std::thread([&] {
    seenThere = GetLastError();
    SetLastError(kErrorInvalidParameter);
  }).join();
  EXPECT_EQ(seenThere, kErrorSuccess);
  EXPECT_EQ(GetLastError(), kErrorNoMoreDevices);
}
#endif

TEST(LastError, OperatingSystemErrorsMapOntoSystemErrorCodes) {
  struct Case {
    int err;
    uint32_t code;
  };
  for (Case c : {Case{0, 0}, Case{ENOENT, 2}, Case{ENOTDIR, 3}, Case{EACCES, 5}, Case{EPERM, 5},
                 Case{EINVAL, 87}, Case{ENOTTY, 50}, Case{ECANCELED, 995}, Case{ENODEV, 1167},
                 Case{EIO, 1167}, Case{ENXIO, 1167}, Case{EPIPE, 31}, Case{ETIMEDOUT, 1460}}) {
    EXPECT_EQ(ErrorFromErrno(c.err), c.code) << "errno " << c.err;
  }
}

}  // namespace
}  // namespace hidhost
