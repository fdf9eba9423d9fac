// The process's host: chosen from HID_SIMULATION, replaceable, and the
// shorthands that go through its clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "hidhost/host.h"
#include "hidhost/sim.h"

namespace hidhost {
namespace {

// Sets (or, with an empty value, clears) HID_SIMULATION.
void SetSimulation(const char* value) {
#if defined(_WIN32)
  _putenv_s("HID_SIMULATION", value);
#else
  setenv("HID_SIMULATION", value, 1);
#endif
}

class HostSelection : public ::testing::Test {
 protected:
  void TearDown() override {
    SetSimulation("");
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
  SetSimulation("both-readers");
  InstallHost(nullptr);
  auto* sim = dynamic_cast<sim::SimulatedHost*>(&CurrentHost());
  ASSERT_NE(sim, nullptr);
  std::vector<std::string> paths;
  ASSERT_TRUE(CurrentHost().EnumerateInterfaces(&paths));
  EXPECT_EQ(paths.size(), 4u);
  EXPECT_EQ(dynamic_cast<sim::VirtualClock*>(&CurrentHost().clock()), nullptr);
}

TEST_F(HostSelection, EmptySimulationVariableMeansTheOperatingSystemHost) {
  SetSimulation("");
  InstallHost(nullptr);
  EXPECT_EQ(dynamic_cast<sim::SimulatedHost*>(&CurrentHost()), nullptr);
}

}  // namespace
}  // namespace hidhost
