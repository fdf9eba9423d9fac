// A simulated host in virtual time with devices described in the test, and
// helpers to look at what reached the devices.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/sim.h"
#include "sim_json.h"

namespace tandril_test {

class SimHostTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Installs a simulated host with `devices` at positions 0, 1, ...
  void Install(const std::vector<SimDevice>& devices);
  // Installs one device and opens it; the handle is 1.
  uint32_t InstallAndOpen(const SimDevice& device);

  std::vector<std::string> Transcript() const;
  // Transcript lines (without the interface path) that start with `prefix`.
  std::vector<std::string> Requests(const std::string& prefix) const;

  std::shared_ptr<hidhost::sim::VirtualClock> clock_;
  std::shared_ptr<hidhost::sim::SimulatedHost> host_;
};

// The canonical path of item `index`, or "" when GetItemByIndex fails.
std::string PathAt(uint32_t device, uint16_t index);

}  // namespace tandril_test
