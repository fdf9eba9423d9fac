// The hidraw host against the emulated tree: enumeration, opening,
// attributes, strings and permissions.
#include <gtest/gtest.h>

#include <filesystem>

#include "tree_fixture.h"

namespace hidhost::hidraw::testing {
namespace {

using Enumeration = TreeTest;
using Identity = TreeTest;
using Permissions = TreeTest;
using HostServices = TreeTest;

TEST_F(Enumeration, ShowsPlugAndUnplugAtTheNextListingEvenWhenANodeNumberIsReused) {
  Add(0, Model(Definition(0x1111, 1, kBootKeyboard)));
  Add(1, Model(Definition(0x1111, 2, kKeyboardAndVendor)));
  ASSERT_EQ(Paths().size(), 3u);

  tree_->Unplug(1);
  EXPECT_EQ(Paths(), std::vector<std::string>{PathOf(0)});
  // Another device takes the freed node number, with one collection only.
  Add(1, Model(Definition(0x2222, 9, kBootKeyboard)));
  EXPECT_EQ(Paths(), (std::vector<std::string>{PathOf(0), PathOf(1)}));
  auto device = OpenOk(PathOf(1), Access::Query);
  ASSERT_TRUE(device);
  Attributes attributes;
  ASSERT_TRUE(device->GetAttributes(&attributes));
  EXPECT_EQ(attributes.VendorID, 0x2222);
}

// The process's open file descriptors on files under `folder` (the FUSE
// server's own come and go with its threads).
size_t OpenDescriptorsUnder(const std::string& folder) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(entry.path(), ec).string().rfind(folder, 0) == 0) ++count;
  }
  return count;
}

TEST_F(Enumeration, OpenRefusesPathsThatNameNoInterfaceAndClosesWhatItOpened) {
  Add(3, Model(Definition(0x1111, 3, kKeyboardAndVendor)));
  Add(4, Model(Definition(0x1111, 4, kBootKeyboard)));
  // Sysfs shows no descriptor, so the node's own is read, and refused.
  auto refused = std::make_shared<sim::DeviceModel>(Definition(0x1111, 6, {0xC0}));
  refused->Attach(clock_, {});
  Add(6, refused);
  std::filesystem::remove(tree_->sysRoot() + "/class/hidraw/hidraw6/device/report_descriptor");
  const struct Case {
    std::string path;
    Access access = Access::Query;
    uint32_t error = kErrorFileNotFound;
  } cases[] = {
      {PathOf(3)},             // a node of several collections has no plain path
      {PathOf(3, 2)},          // it has two collections only
      {PathOf(4, 0)},          // a node of one collection has only its plain path
      {PathOf(5)},             // no such node
      {tree_->devRoot() + "/../dev/hidraw4"},
      {"/etc/passwd"},
      {""},
      {PathOf(6), Access::ReadWrite, kErrorGenFailure},
  };
  for (const Case& c : cases) {
    const size_t before = OpenDescriptorsUnder(tree_->devRoot());
    SetLastError(0);
    EXPECT_EQ(host_->Open(c.path, c.access), nullptr) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
    EXPECT_EQ(OpenDescriptorsUnder(tree_->devRoot()), before) << c.path;
  }
}

TEST_F(Enumeration, EachCollectionGetsItsOwnModel) {
  Add(3, Model(Definition(0x1111, 3, kKeyboardAndVendor)));
  auto keyboard = OpenOk(PathOf(3, 0), Access::Query);
  auto vendor = OpenOk(PathOf(3, 1), Access::Query);
  ASSERT_TRUE(keyboard && vendor);
  hid::HIDP_CAPS caps{};
  ASSERT_EQ(hid::HidP_GetCaps(keyboard->GetPreparsedData().get(), &caps), hid::HIDP_STATUS_SUCCESS);
  EXPECT_EQ(caps.UsagePage, 0x01);
  EXPECT_EQ(caps.InputReportByteLength, 9);
  EXPECT_EQ(caps.FeatureReportByteLength, 0);
  ASSERT_EQ(hid::HidP_GetCaps(vendor->GetPreparsedData().get(), &caps), hid::HIDP_STATUS_SUCCESS);
  EXPECT_EQ(caps.UsagePage, 0xFF00);
  EXPECT_EQ(caps.InputReportByteLength, 3);
  EXPECT_EQ(caps.FeatureReportByteLength, 5);
}

TEST_F(Identity, AttributesAndStringsComeFromTheUsbDeviceOrTheHidDriver) {
  auto reader = Definition(0x1C5E, 0x2420, kBootKeyboard);
  reader.attributes.VersionNumber = 0x0214;
  reader.manufacturer = L"Varnh\u00f6lt";  // non-ASCII travels as UTF-8 through sysfs
  Add(0, Model(reader));
  auto bare = Definition(0x3333, 0x0001, kBootKeyboard);
  bare.manufacturer.reset();
  bare.serial.reset();
  Add(1, Model(bare));
  auto virtualDevice = Definition(0x4444, 0x0002, kBootKeyboard);
  Add(2, Model(virtualDevice), /*usb=*/false);

  struct Case {
    uint32_t minor;
    Attributes attributes;
    const wchar_t* manufacturer;  // null: fails with 31
    const wchar_t* product;
    const wchar_t* serial;
  } cases[] = {
      {0, {0x1C5E, 0x2420, 0x0214}, L"Varnh\u00f6lt", L"Gadget", L"SN-1"},
      {1, {0x3333, 0x0001, 0x0100}, nullptr, L"Gadget", nullptr},
      // No USB device: no version, product from the HID driver's name,
      // serial from its unique ID.
      {2, {0x4444, 0x0002, 0}, nullptr, L"Maker Gadget", L"SN-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("hidraw" + std::to_string(c.minor));
    auto device = OpenOk(PathOf(c.minor), Access::Query);
    ASSERT_TRUE(device);
    Attributes a;
    ASSERT_TRUE(device->GetAttributes(&a));
    EXPECT_EQ(a.VendorID, c.attributes.VendorID);
    EXPECT_EQ(a.ProductID, c.attributes.ProductID);
    EXPECT_EQ(a.VersionNumber, c.attributes.VersionNumber);
    using Getter = bool (Device::*)(wchar_t*, size_t);
    const std::pair<Getter, const wchar_t*> strings[] = {
        {&Device::GetManufacturerString, c.manufacturer},
        {&Device::GetProductString, c.product},
        {&Device::GetSerialNumberString, c.serial},
    };
    for (const auto& [getter, expected] : strings) {
      wchar_t text[64] = L"untouched";
      const bool ok = (device.get()->*getter)(text, sizeof text);
      if (expected == nullptr) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(GetLastError(), kErrorGenFailure);
      } else {
        ASSERT_TRUE(ok);
        EXPECT_EQ(std::wstring(text), expected);
      }
    }
  }
}

TEST_F(Identity, StringBuffersAreCheckedAndIndexedStringsAreNotReachable) {
  Add(0, Model(Definition(0x1111, 1, kBootKeyboard)));  // product "Gadget": 7 wide chars with NUL
  auto device = OpenOk(PathOf(0), Access::Query);
  ASSERT_TRUE(device);
  wchar_t text[8];
  EXPECT_TRUE(device->GetProductString(text, 7 * sizeof(wchar_t)));
  EXPECT_FALSE(device->GetProductString(text, 7 * sizeof(wchar_t) - 1));
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_FALSE(device->GetProductString(text, 0));
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_FALSE(device->GetIndexedString(1, text, sizeof text));
  EXPECT_EQ(GetLastError(), kErrorNotSupported);
}

TEST_F(Permissions, QueryOpensEveryNodeAndFeatureReportsNeedOneRight) {
  auto definition = Definition(0x1111, 1, kKeyboardAndVendor);
  definition.featureReports[3] = {0x03, 0xA, 0xB, 0xC, 0xD};
  Add(0, Model(definition), true, /*mayRead=*/true, /*mayWrite=*/false);
  Add(1, Model(definition), true, /*mayRead=*/false, /*mayWrite=*/true);
  Add(2, Model(definition), true, /*mayRead=*/false, /*mayWrite=*/false);
  struct Case {
    uint32_t minor;
    bool featureReports;  // else refused with 5
  } cases[] = {{0, true}, {1, true}, {2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE("hidraw" + std::to_string(c.minor));
    SetLastError(0);
    EXPECT_EQ(host_->Open(PathOf(c.minor, 1), Access::ReadWrite), nullptr);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    auto device = OpenOk(PathOf(c.minor, 1), Access::Query);
    ASSERT_TRUE(device);
    Attributes attributes;
    EXPECT_TRUE(device->GetAttributes(&attributes));
    EXPECT_TRUE(device->GetPreparsedData());
    uint8_t report[5] = {3};
    EXPECT_EQ(device->GetFeature(report, sizeof report), c.featureReports);
    if (c.featureReports) {
      EXPECT_EQ(report[4], 0xD);
    } else {
      EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    }
    uint8_t input[3];
    size_t received = 0;
    EXPECT_FALSE(device->ReadInput(input, sizeof input, &received));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  }
}

TEST_F(HostServices, CapsLockFollowsTheKeyboardLeds) {
  EXPECT_FALSE(host_->CapsLockOn());
  tree_->sysfs().SetCapsLock(true);
  EXPECT_TRUE(host_->CapsLockOn());
  tree_->sysfs().SetCapsLock(false);
  EXPECT_FALSE(host_->CapsLockOn());
}

}  // namespace
}  // namespace hidhost::hidraw::testing
