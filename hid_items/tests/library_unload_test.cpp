// Unloading the library while a device is open and its event worker waits
// for an input report: the worker is stopped and the device freed.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "descriptor_builder.h"
#include "gated_host.h"
#include "hidhost/sim.h"
#include "sim_json.h"
#include "tandril.h"

namespace tandril_test {
namespace {

template <typename F>
F Symbol(void* library, const char* name) {
  return reinterpret_cast<F>(dlsym(library, name));
}

TEST(LibraryUnloadTest, StopsWorkersAndFreesOpenDevices) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0x84).Usage(0x04).Collection(0x01)
                     .ReportId(1).Field(1, 1, 0, 1).Usage(0xD0).Input()
                     .ReportCount(7).Input(kConst)
                     .EndCollection()
                     .bytes();
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  auto sim = hidhost::sim::SimulatedHost::CreateFromJson(DeviceJson({d, d}), "unload", clock,
                                                         &error);
  ASSERT_TRUE(sim && error.empty()) << error;
  auto gate = std::make_shared<GatedHost>(sim, true);
  hidhost::InstallHost(gate);

  void* library = dlopen(TANDRIL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto open = Symbol<decltype(&OpenHIDDevice)>(library, "OpenHIDDevice");
  auto setHandler = Symbol<decltype(&SetEventHandler)>(library, "SetEventHandler");
  ASSERT_TRUE(open && setHandler);

  // One device reads (its worker waits in the device), one never started a worker.
  ASSERT_EQ(open(0), 1u);
  ASSERT_EQ(open(1), 2u);
  ASSERT_EQ(setHandler(1, nullptr, 0), 1);
  ASSERT_TRUE(gate->WaitForReads(1));
  EXPECT_EQ(gate->LiveDevices(), 2);

  ASSERT_EQ(dlclose(library), 0);
  EXPECT_EQ(dlopen(TANDRIL_LIBRARY_FILE, RTLD_NOW | RTLD_NOLOAD), nullptr)
      << "the library stayed loaded";
  EXPECT_EQ(gate->LiveDevices(), 0);
}

}  // namespace
}  // namespace tandril_test
