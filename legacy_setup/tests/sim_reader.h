// Simulated hosts in virtual time for the setup tool's tests, and what the
// setup item received.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/sim.h"

namespace skelmar_test {

// One setup-item write: the interface it went to and the data byte.
struct SetupWrite {
  std::string path;
  uint8_t value;
};

class SimReaderTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Installs a host with a preset ("legacy-reader", "none", ...).
  void InstallPreset(const std::string& preset);
  // Installs a host whose devices are these JSON objects, in order.
  void InstallDevices(const std::vector<std::string>& devices);

  // The feature writes made since the previous call, in order.
  std::vector<SetupWrite> TakeWrites();
  // Just their data bytes, as characters.
  std::string TakeWrittenText();
  std::vector<std::string> InterfacePaths();

  std::shared_ptr<hidhost::sim::VirtualClock> clock_;
  std::shared_ptr<hidhost::sim::SimulatedHost> host_;

 private:
  size_t seen_ = 0;
};

// A JSON device of `vendor` with one vendor-defined collection (usage page
// 0xFF2D, usage 1) holding an 8-bit feature value item for each usage.
std::string VendorDevice(uint16_t vendor, const std::vector<int>& featureUsages);

}  // namespace skelmar_test
