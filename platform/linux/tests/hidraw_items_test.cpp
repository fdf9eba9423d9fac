// The item library's input-report path on the hidraw backend: its event
// worker reads a power device's numbered input reports through the node,
// raises the change events and keeps the items' values.
#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>

#include "tandril.h"
#include "tree_fixture.h"

namespace hidhost::hidraw::testing {
namespace {

struct EventLog {
  std::mutex mutex;
  std::condition_variable arrived;
  std::map<uint32_t, int> counts;
};

int32_t TANDRIL_CALL Record(uintptr_t context, uint32_t code) {
  auto* log = reinterpret_cast<EventLog*>(context);
  std::lock_guard lock(log->mutex);
  ++log->counts[code];
  log->arrived.notify_all();
  return 0;
}

// The canonical path of the first input item whose last step starts with
// `pageAndUsage` (canonical steps read "0085:d0:0001").
std::string InputItemPath(uint32_t device, const std::string& pageAndUsage) {
  for (uint16_t index = 0; index < 200; ++index) {
    char path[256];
    uint16_t size = sizeof path;
    ItemInfo info{};
    if (!GetItemByIndex(device, index, path, &size, &info)) break;
    const std::string text = path;
    const size_t last = text.rfind('&');
    const std::string step = last == std::string::npos ? text : text.substr(last + 1);
    if ((info.Flags & TANDRIL_FLAG_INPUT) != 0 && step.rfind(pageAndUsage, 0) == 0) return text;
  }
  return "";
}

// The item library reaches devices through the process's host.
struct HostInstalled {
  explicit HostInstalled(std::shared_ptr<Host> host) { InstallHost(std::move(host)); }
  ~HostInstalled() { InstallHost(nullptr); }
};

struct OpenDevice {
  explicit OpenDevice(uint16_t position) : handle(OpenHIDDevice(position)) {}
  ~OpenDevice() {
    if (handle != 0) CloseHIDDevice(handle);  // cancels the worker's pending read
  }
  uint32_t handle;
};

using ItemLibrary = TreeTest;

TEST_F(ItemLibrary, EventWorkerReadsNumberedInputReportsThroughTheNode) {
  std::string error;
  auto ups = sim::LoadDeviceModels("ups", &error);
  ASSERT_EQ(error, "");
  sim::DeviceDefinition definition = ups.at(0)->definition();
  // Status bits of report 1: AC present, charging, discharging, below the
  // capacity limit, shutdown imminent, communication lost.
  definition.inputReports = {{0, {0x01, 0x01}},
                       {10, {0x02, 80, 0x60, 0x09}},
                       {10, {0x01, 0x04}},
                       {10, {0x02, 20, 0x2C, 0x01}},
                       {10, {0x01, 0x24}}};
  definition.repeatInputs = false;
  Add(0, Model(definition));

  EventLog log;  // outlives the device and its worker
  HostInstalled installed(host_);
  OpenDevice open(0);
  const uint32_t device = open.handle;
  ASSERT_NE(device, 0u) << "error " << GetLastHIDError();
  const std::string acPresent = InputItemPath(device, "0085:d0:");
  const std::string capacity = InputItemPath(device, "0085:66:");
  ASSERT_FALSE(acPresent.empty());
  ASSERT_FALSE(capacity.empty());

  ASSERT_TRUE(SetEventNotificationMask(device, 0xFFu & ~TANDRIL_EVENT_READ_ERROR));
  ASSERT_TRUE(SetEventHandler(device, Record, reinterpret_cast<uintptr_t>(&log)));
  {
    std::unique_lock lock(log.mutex);
    ASSERT_TRUE(log.arrived.wait_for(lock, std::chrono::seconds(10), [&] {
      return log.counts[TANDRIL_EVENT_COMMUNICATION_LOST] > 0;
    })) << "the last report never reached the item library";
    EXPECT_EQ(log.counts[TANDRIL_EVENT_AC_PRESENT], 2);
    EXPECT_EQ(log.counts[TANDRIL_EVENT_DISCHARGING], 1);
    EXPECT_EQ(log.counts[TANDRIL_EVENT_CHARGING], 0);
  }
  int32_t value = -1;
  ASSERT_TRUE(GetItemValue(device, capacity.c_str(), &value));
  EXPECT_EQ(value, 20);
  ASSERT_TRUE(GetItemValue(device, acPresent.c_str(), &value));
  EXPECT_EQ(value, 0);
}

}  // namespace
}  // namespace hidhost::hidraw::testing
