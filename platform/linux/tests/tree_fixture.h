// The fixture of the end-to-end tests: a hidraw host on an emulated device
// tree, in virtual time. Skips the test when FUSE cannot be mounted.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "emulated_tree.h"
#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "hidraw_host.h"

namespace hidhost::hidraw::testing {

// Descriptors of the test devices.
// A boot keyboard without report IDs: input 8 bytes, LED output 1 byte.
extern const std::vector<uint8_t> kBootKeyboard;
// A boot mouse: three buttons and a relative X and Y, input 4 bytes.
extern const std::vector<uint8_t> kBootMouse;
// Two top-level collections with report IDs: a keyboard (input report 1,
// 8 bytes) and a vendor collection (input report 2 of 2 bytes, feature
// report 3 of 4 bytes and feature report 4 of 1 byte).
extern const std::vector<uint8_t> kKeyboardAndVendor;

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A device model for `definition`, attached to the virtual clock.
  std::shared_ptr<sim::DeviceModel> Model(sim::DeviceDefinition definition);
  EmulatedNode& Add(uint32_t minor, std::shared_ptr<sim::DeviceModel> model, bool usb = true,
                    bool mayRead = true, bool mayWrite = true);
  // A keyboard (vendor 0x1111, product 1) at node 0 and a mouse (product 2)
  // at node 1 whose nodes only root may open, as on a desktop where the
  // udev rule opens the readers' nodes alone.
  void AddRootOnlyKeyboardAndMouse();
  std::vector<std::string> Paths();
  std::string PathOf(uint32_t minor, int collection = -1) const;
  std::unique_ptr<Device> OpenOk(const std::string& path, Access access);

  std::unique_ptr<EmulatedTree> tree_;
  std::shared_ptr<sim::VirtualClock> clock_;
  std::shared_ptr<HidrawHost> host_;
};

sim::DeviceDefinition Definition(uint16_t vendor, uint16_t product, std::vector<uint8_t> descriptor);

}  // namespace hidhost::hidraw::testing
