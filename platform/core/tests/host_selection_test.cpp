// The process's host: chosen from HID_SIMULATION, replaceable, and the
// shorthands that go through its clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "hidhost/host.h"
#include "hidhost/sim.h"

namespace hidhost {
namespace {

class HostSelection : public ::testing::Test {
 protected:
  void TearDown() override {
    unsetenv("HID_SIMULATION");
    InstallHost(nullptr);
  }
};

TEST_F(HostSelection, InstalledHostServesTheShorthands) {
  auto clock = std::make_shared<sim::VirtualClock>();
  auto host = sim::SimulatedHost::Create("none", clock);
  InstallHost(host);
  EXPECT_EQ(&CurrentHost(), host.get());
  SleepMs(1350);
  EXPECT_EQ(NowMs(), 1350u);
  EXPECT_EQ(clock->Sleeps(), std::vector<uint32_t>{1350});
}

TEST_F(HostSelection, SimulationVariableChoosesTheSimulatedHostWithRealTime) {
  setenv("HID_SIMULATION", "both-readers", 1);
  InstallHost(nullptr);
  auto* sim = dynamic_cast<sim::SimulatedHost*>(&CurrentHost());
  ASSERT_NE(sim, nullptr);
  std::vector<std::string> paths;
  ASSERT_TRUE(CurrentHost().EnumerateInterfaces(&paths));
  EXPECT_EQ(paths.size(), 4u);
  EXPECT_EQ(dynamic_cast<sim::VirtualClock*>(&CurrentHost().clock()), nullptr);
}

TEST_F(HostSelection, EmptySimulationVariableMeansTheOperatingSystemHost) {
  setenv("HID_SIMULATION", "", 1);
  InstallHost(nullptr);
  EXPECT_EQ(dynamic_cast<sim::SimulatedHost*>(&CurrentHost()), nullptr);
}

}  // namespace
}  // namespace hidhost
