// Presets as the host lists them: order, attributes, collections, strings.
#include <gtest/gtest.h>

#include <set>

#include "sim_test_support.h"

namespace hidhost::sim::testing {
namespace {

struct Expected {
  uint16_t vendor, product, usagePage, usage;
  uint16_t featureLength;
};

struct PresetCase {
  const char* preset;
  std::vector<Expected> interfaces;
};

class PresetEnumeration : public ::testing::TestWithParam<PresetCase> {};

TEST_P(PresetEnumeration, ListsInterfacesInOrderWithTheirAttributesAndCollections) {
  const PresetCase& c = GetParam();
  TestHost t = MakePresetHost(c.preset);
  std::vector<std::string> paths = Paths(*t.host);
  ASSERT_EQ(paths.size(), c.interfaces.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    auto device = t.host->Open(paths[i], Access::Query);
    ASSERT_TRUE(device);
    Attributes a;
    ASSERT_TRUE(device->GetAttributes(&a));
    EXPECT_EQ(a.VendorID, c.interfaces[i].vendor);
    EXPECT_EQ(a.ProductID, c.interfaces[i].product);
    hid::HIDP_CAPS caps{};
    ASSERT_EQ(hid::HidP_GetCaps(device->GetPreparsedData().get(), &caps), hid::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.UsagePage, c.interfaces[i].usagePage);
    EXPECT_EQ(caps.Usage, c.interfaces[i].usage);
    EXPECT_EQ(caps.FeatureReportByteLength, c.interfaces[i].featureLength);
  }
  // Paths are unique, and the list is the same when asked again.
  EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), paths.size());
  EXPECT_EQ(Paths(*t.host), paths);
}

const Expected kKeyboard2420{0x1C5E, 0x2420, 0x01, 0x06, 0};
const Expected kConfig2420{0x1C5E, 0x2420, 0xFF00, 0x01, 9};
const Expected kSetup0200{0x1C5E, 0x0200, 0xFF2D, 0x01, 2};
const Expected kKeyboard0200{0x1C5E, 0x0200, 0x01, 0x06, 0};

INSTANTIATE_TEST_SUITE_P(
    Presets, PresetEnumeration,
    ::testing::Values(PresetCase{"reader", {kKeyboard2420, kConfig2420}},
                      PresetCase{"legacy-reader", {kSetup0200, kKeyboard0200}},
                      PresetCase{"both-readers", {kSetup0200, kKeyboard0200, kKeyboard2420, kConfig2420}},
                      PresetCase{"ups", {{0x3B1D, 0x0A15, 0x84, 0x04, 5}}},
                      PresetCase{"none", {}}),
    [](const auto& info) {
      std::string name = info.param.preset;
      for (char& ch : name) if (ch == '-') ch = '_';
      return name;
    });

TEST(SimulatedHost, OpenRefusesUnknownPathsWithFileNotFound) {
  TestHost t = MakePresetHost("reader");
  SetLastError(0);
  EXPECT_FALSE(t.host->Open("sim:hid#vid_0000&pid_0000&mi_09", Access::Query));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  std::vector<std::string>* none = nullptr;
  EXPECT_FALSE(t.host->EnumerateInterfaces(none));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST(SimulatedHost, RecordingHostKeepsProgramStartsAndCapsLockToItself) {
  TestHost t = MakePresetHost("none");
  EXPECT_FALSE(t.host->CapsLockOn());  // not the machine's keyboard
  t.host->SetCapsLock(true);
  EXPECT_TRUE(t.host->CapsLockOn());
  t.host->SetRecordProgramStarts(true, false);
  EXPECT_FALSE(t.host->StartProgram("skelmar"));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(t.host->ProgramStarts(), std::vector<std::string>{"skelmar"});
}

TEST(SimulatedHost, UpsStringsAndIndexedStringItems) {
  TestHost t = MakePresetHost("ups");
  auto device = t.host->Open(Paths(*t.host).at(0), Access::Query);
  wchar_t text[64];
  ASSERT_TRUE(device->GetManufacturerString(text, sizeof text));
  EXPECT_EQ(std::wstring(text), L"Orvane Power");
  ASSERT_TRUE(device->GetSerialNumberString(text, sizeof text));
  EXPECT_EQ(std::wstring(text), L"OV1500-2231-0042");

  // Every string item of the descriptor names an indexed string the device has.
  hid::HIDP_CAPS caps{};
  hid::HidP_GetCaps(device->GetPreparsedData().get(), &caps);
  std::vector<hid::HIDP_VALUE_CAPS> values(caps.NumberFeatureValueCaps);
  hid::USHORT n = caps.NumberFeatureValueCaps;
  ASSERT_EQ(hid::HidP_GetValueCaps(hid::HidP_Feature, values.data(), &n, device->GetPreparsedData().get()),
            hid::HIDP_STATUS_SUCCESS);
  int stringItems = 0;
  for (const auto& v : values) {
    if (v.IsRange || v.NotRange.StringIndex == 0) continue;
    ++stringItems;
    EXPECT_TRUE(device->GetIndexedString(v.NotRange.StringIndex, text, sizeof text))
        << "string index " << v.NotRange.StringIndex;
  }
  EXPECT_EQ(stringItems, 4);
  // The run time carries a unit (seconds), the voltage a unit and an exponent.
  bool runTime = false, voltage = false;
  for (const auto& v : values) {
    if (v.UsagePage == 0x85 && v.NotRange.Usage == 0x68) runTime = v.Units == 0x1001;
    if (v.UsagePage == 0x84 && v.NotRange.Usage == 0x30) voltage = v.Units == 0x00F0D121 && v.UnitsExp == 5;
  }
  EXPECT_TRUE(runTime);
  EXPECT_TRUE(voltage);
}

TEST(SimulatedHost, StringBuffersAreCheckedAndMissingStringsFail) {
  TestHost t = MakeJsonHost(R"({"devices": [{"report_descriptor": "06 00 FF 09 01 A1 01 09 01 75 08 95 01 B1 02 C0",
                                             "product": "Pad", "indexed_strings": {"5": "five"}}]})");
  auto device = t.host->Open(Paths(*t.host).at(0), Access::Query);
  ASSERT_TRUE(device);
  wchar_t text[8];
  EXPECT_FALSE(device->GetProductString(text, 3 * sizeof(wchar_t)));  // "Pad" needs 4 with NUL
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_TRUE(device->GetProductString(text, 4 * sizeof(wchar_t)));
  EXPECT_EQ(std::wstring(text), L"Pad");
  EXPECT_FALSE(device->GetManufacturerString(text, sizeof text));
  EXPECT_EQ(GetLastError(), kErrorGenFailure);
  EXPECT_TRUE(device->GetIndexedString(5, text, sizeof text));
  EXPECT_FALSE(device->GetIndexedString(4, text, sizeof text));
  EXPECT_EQ(GetLastError(), kErrorGenFailure);
}

TEST(SimulatedHost, SeveralTopLevelCollectionsAreSeveralInterfacesInDescriptorOrder) {
  // A mouse-like collection (usage 1:2) then a vendor collection, one device.
  TestHost t = MakeJsonHost(R"({"devices": [{"vendor_id": "0x1234", "product_id": 17, "report_descriptor":
      "05 01 09 02 A1 01 85 01 09 30 75 08 95 01 81 02 C0  06 00 FF 09 07 A1 01 85 02 09 01 75 08 95 02 B1 02 C0"}]})");
  std::vector<std::string> paths = Paths(*t.host);
  ASSERT_EQ(paths.size(), 2u);
  uint16_t usages[2];
  for (int i = 0; i < 2; ++i) {
    auto device = t.host->Open(paths[i], Access::Query);
    hid::HIDP_CAPS caps{};
    hid::HidP_GetCaps(device->GetPreparsedData().get(), &caps);
    usages[i] = caps.Usage;
    Attributes a;
    device->GetAttributes(&a);
    EXPECT_EQ(a.VendorID, 0x1234);
    EXPECT_EQ(a.ProductID, 17);
  }
  EXPECT_EQ(usages[0], 0x02);
  EXPECT_EQ(usages[1], 0x07);
}

}  // namespace
}  // namespace hidhost::sim::testing
