// Enumeration needs only sysfs: these run on a plain folder, without FUSE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "emulated_sysfs.h"
#include "hidhost/sim.h"
#include "hidhost/os_host.h"

namespace hidhost::hidraw::testing {
namespace {

const std::vector<uint8_t> kOneCollection = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75,
                                             0x08, 0x95, 0x02, 0x09, 0x02, 0xB1, 0x02, 0xC0};
const std::vector<uint8_t> kTwoCollections = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x09, 0x02,
    0xB1, 0x02, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x03, 0xA1, 0x01, 0x85, 0x02, 0x09, 0x04,
    0x81, 0x02, 0xC0};

sim::DeviceDefinition Definition(uint16_t product, const std::vector<uint8_t>& descriptor) {
  sim::DeviceDefinition definition;
  definition.attributes = {0x1111, product, 0x0100};
  definition.reportDescriptor = descriptor;
  return definition;
}

class SysfsListing : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[] = "/tmp/hidraw-sysfs-XXXXXX";
    ASSERT_NE(::mkdtemp(base), nullptr);
    base_ = base;
    sysfs_ = std::make_unique<EmulatedSysfs>(base_ + "/sys");
    host_ = MakeHidrawHost(std::make_shared<sim::VirtualClock>(), sysfs_->root(), "/dev");
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(base_, ec);
  }
  std::vector<std::string> Paths() {
    std::vector<std::string> paths;
    EXPECT_TRUE(host_->EnumerateInterfaces(&paths));
    return paths;
  }

  std::string base_;
  std::unique_ptr<EmulatedSysfs> sysfs_;
  std::shared_ptr<Host> host_;
};

TEST_F(SysfsListing, ListsNodesByMinorAndEachCollectionOfANode) {
  sysfs_->AddNode(10, Definition(1, kOneCollection), true);
  sysfs_->AddNode(2, Definition(2, kOneCollection), false);
  sysfs_->AddNode(7, Definition(3, kTwoCollections), true);
  const std::vector<std::string> expected = {"/dev/hidraw2", "/dev/hidraw7&col01",
                                             "/dev/hidraw7&col02", "/dev/hidraw10"};
  EXPECT_EQ(Paths(), expected);
  EXPECT_EQ(Paths(), expected) << "a second listing from the cache differs";
}

TEST_F(SysfsListing, SeesANodeNumberTakenByAnotherDevice) {
  sysfs_->AddNode(0, Definition(1, kOneCollection), true);
  sysfs_->AddNode(1, Definition(2, kTwoCollections), true);
  ASSERT_EQ(Paths().size(), 3u);
  sysfs_->RemoveNode(1);
  EXPECT_EQ(Paths(), std::vector<std::string>{"/dev/hidraw0"});
  sysfs_->AddNode(1, Definition(3, kOneCollection), true);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/dev/hidraw0", "/dev/hidraw1"}));
  sysfs_->RemoveNode(0);
  sysfs_->RemoveNode(1);
  EXPECT_TRUE(Paths().empty());
}

TEST_F(SysfsListing, LeavesOutANodeWhoseDescriptorIsRefused) {
  sysfs_->AddNode(0, Definition(1, kOneCollection), true);
  sysfs_->AddNode(1, Definition(2, kOneCollection), true);
  // What sysfs shows of node 1: a descriptor cut inside an item.
  std::ofstream(sysfs_->root() + "/class/hidraw/hidraw1/device/report_descriptor",
                std::ios::binary | std::ios::trunc)
      << std::string("\x05\x01\x09\x06\xA1\x01\x05", 7);
  EXPECT_EQ(Paths(), std::vector<std::string>{"/dev/hidraw0"});
  EXPECT_EQ(host_->Open("/dev/hidraw1", Access::Query), nullptr);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(SysfsListing, EmptyWithoutAHidrawClass) {
  auto host = MakeHidrawHost(std::make_shared<sim::VirtualClock>(), base_ + "/nothing-here", "/dev");
  std::vector<std::string> paths = {"stale"};
  EXPECT_TRUE(host->EnumerateInterfaces(&paths));
  EXPECT_TRUE(paths.empty());
}

}  // namespace
}  // namespace hidhost::hidraw::testing
