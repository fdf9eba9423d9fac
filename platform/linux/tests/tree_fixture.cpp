#include "tree_fixture.h"

#include <cstdio>

namespace hidhost::hidraw::testing {

const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05,
    0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91,
    0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65,
    0x81, 0x00, 0xC0};

const std::vector<uint8_t> kBootMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29,
    0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05,
    0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95,
    0x02, 0x81, 0x06, 0xC0, 0xC0};

const std::vector<uint8_t> kKeyboardAndVendor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,              // keyboard collection
    0x85, 0x01,                                      //   report 1
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02,              //   modifier bits
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,              //   reserved byte
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x19, 0x00, 0x29, 0x65,
    0x81, 0x00,                                      //   six key codes
    0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,        // vendor collection
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x85, 0x02, 0x09, 0x10, 0x95, 0x02, 0x81, 0x02,  //   input report 2: 2 bytes
    0x85, 0x03, 0x09, 0x11, 0x95, 0x04, 0xB1, 0x02,  //   feature report 3: 4 bytes
    0x85, 0x04, 0x09, 0x12, 0x95, 0x01, 0xB1, 0x02,  //   feature report 4: 1 byte
    0xC0};

sim::DeviceDefinition Definition(uint16_t vendor, uint16_t product, std::vector<uint8_t> descriptor) {
  sim::DeviceDefinition definition;
  definition.attributes = {vendor, product, 0x0100};
  definition.manufacturer = L"Maker";
  definition.product = L"Gadget";
  definition.serial = L"SN-1";
  definition.reportDescriptor = std::move(descriptor);
  return definition;
}

void TreeTest::SetUp() {
  std::string whyNot;
  tree_ = EmulatedTree::Mount(&whyNot);
  if (!tree_) GTEST_SKIP() << "the emulated device tree needs FUSE: " << whyNot;
  clock_ = std::make_shared<sim::VirtualClock>();
  host_ = std::make_shared<HidrawHost>(clock_, tree_->sysRoot(), tree_->devRoot());
}

void TreeTest::TearDown() {
  host_.reset();
  tree_.reset();
}

std::shared_ptr<sim::DeviceModel> TreeTest::Model(sim::DeviceDefinition definition) {
  const std::string problem = sim::ValidateDeviceDefinition(&definition);
  EXPECT_EQ(problem, "");
  auto model = std::make_shared<sim::DeviceModel>(std::move(definition));
  model->Attach(clock_, {});
  return model;
}

EmulatedNode& TreeTest::Add(uint32_t minor, std::shared_ptr<sim::DeviceModel> model, bool usb,
                            bool mayRead, bool mayWrite) {
  NodeSetup setup;
  setup.minor = minor;
  setup.model = std::move(model);
  setup.usb = usb;
  setup.mayRead = mayRead;
  setup.mayWrite = mayWrite;
  return tree_->AddNode(setup);
}

void TreeTest::AddRootOnlyKeyboardAndMouse() {
  Add(0, Model(Definition(0x1111, 1, kBootKeyboard)), true, /*mayRead=*/false, /*mayWrite=*/false);
  Add(1, Model(Definition(0x1111, 2, kBootMouse)), true, /*mayRead=*/false, /*mayWrite=*/false);
}

std::vector<std::string> TreeTest::Paths() {
  std::vector<std::string> paths;
  EXPECT_TRUE(host_->EnumerateInterfaces(&paths));
  return paths;
}

std::string TreeTest::PathOf(uint32_t minor, int collection) const {
  std::string path = tree_->devRoot() + "/hidraw" + std::to_string(minor);
  if (collection >= 0) {
    char tag[24];
    std::snprintf(tag, sizeof tag, "&col%02d", collection + 1);
    path += tag;
  }
  return path;
}

std::unique_ptr<Device> TreeTest::OpenOk(const std::string& path, Access access) {
  auto device = host_->Open(path, access);
  EXPECT_TRUE(device) << path << ": error " << GetLastError();
  return device;
}

}  // namespace hidhost::hidraw::testing

// libfuse's own worker threads can leave one small request record behind
// when the emulated tree is unmounted while a read is still pending in the
// kernel; the allocation and the loss are both inside libfuse, so the leak
// checker of sanitizer builds passes over it.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfuse3.so\n";
}
