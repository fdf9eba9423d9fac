// The Windows backend and services against the system's own DLLs, for what
// needs no device: an enumeration that finds none, a failed open, the watch
// on interfaces that come and go, and the last-error code being the thread's
// own.
#include <gtest/gtest.h>

#include <windows.h>

#include "hidhost/errors.h"
#include "hidhost/hidp.h"
#include "hidhost/os_host.h"
#include "hidhost/system_services.h"
#include "win32_api.h"

namespace hidhost {
namespace {

// Wine lists a virtual keyboard and mouse of its own; Windows lists whatever
// is plugged in. Each listed interface opens for queries and gives a model
// rebuilt through the system's HidP_* functions.
TEST(WindowsSystem, EnumeratedInterfacesOpenWithAReportModel) {
  auto host = MakeOsHost();
  std::vector<std::string> paths = {"stale"};
  ASSERT_TRUE(host->EnumerateInterfaces(&paths)) << hidhost::GetLastError();
  for (const auto& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_NE(path, "stale");
    auto device = host->Open(path, Access::Query);
    if (!device) continue;  // held exclusively by the system (keyboards on Windows)
    Attributes attributes;
    EXPECT_TRUE(device->GetAttributes(&attributes));
    const hid::PreparsedPtr model = device->GetPreparsedData();
    ASSERT_TRUE(model) << hidhost::GetLastError();
    hid::HIDP_CAPS caps{};
    EXPECT_EQ(hid::HidP_GetCaps(model.get(), &caps), hid::HIDP_STATUS_SUCCESS);
  }
}

TEST(WindowsSystem, OpenOfAMissingInterfaceFailsWithTheSystemsCode) {
  auto host = MakeOsHost();
  hidhost::SetLastError(0);
  EXPECT_EQ(host->Open("\\\\?\\hid#vid_0000&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}", Access::Query),
            nullptr);
  const uint32_t code = hidhost::GetLastError();
  EXPECT_TRUE(code == kErrorFileNotFound || code == kErrorPathNotFound) << code;
  EXPECT_FALSE(MakeOsServices()->StartProgram("no-such-program-of-this-suite.exe"));
  EXPECT_EQ(hidhost::GetLastError(), kErrorFileNotFound);
}

// Without the watch the host reads the list on every call. Windows 8 and
// later give configuration-manager notifications; Wine and older systems
// device-change messages to a window.
TEST(WindowsSystem, SystemTellsOfInterfacesThatComeAndGo) {
  auto watch = win::MakeSystemApi()->WatchHidInterfaces([] {});
  EXPECT_NE(watch, nullptr) << hidhost::GetLastError();
}

TEST(WindowsSystem, LastErrorIsTheThreadsOwn) {
  hidhost::SetLastError(kErrorDeviceNotConnected);
  EXPECT_EQ(::GetLastError(), kErrorDeviceNotConnected);
  ::SetLastError(ERROR_INVALID_PARAMETER);
  EXPECT_EQ(hidhost::GetLastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace hidhost
