// The manufacturer, product and serial-number strings of an open device.
#include <string>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

using StringExport = int32_t (*)(uint32_t, wchar_t*, uint32_t);

struct StringCase {
  const char* name;
  StringExport read;
  const wchar_t* text;  // null: the device has no such string
};

const StringCase kCases[] = {
    {"manufacturer", GetManufacturerString, L"Orvane Power"},
    {"product", GetProductString, L"Orvane UPS \u00e9 1500"},
    {"serial number", GetSerialNumberString, nullptr},
};

class DeviceStringsTest : public SimHostTest {
 protected:
  uint32_t Open() {
    SimDevice d;
    d.descriptor = Descriptor()
                       .UsagePage(0x84).Usage(0x04).Collection(0x01)
                       .ReportId(1).Field(1, 1, 0, 1).Usage(0xD0).Input()
                       .ReportCount(7).Input(kConst)
                       .EndCollection()
                       .bytes();
    d.manufacturer = kCases[0].text;
    d.product = kCases[1].text;
    return InstallAndOpen(d);
  }
};

TEST_F(DeviceStringsTest, ReadsWhatTheDeviceHasWithOrWithoutAWorker) {
  const uint32_t h = Open();
  for (bool worker : {false, true}) {
    if (worker) {
      ASSERT_EQ(SetEventHandler(h, nullptr, 0), 1);
    }
    for (const StringCase& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + (worker ? " with a worker" : ""));
      wchar_t buffer[128];
      std::fill(std::begin(buffer), std::end(buffer), L'#');
      SetLastHIDError(0);
      if (c.text) {
        ASSERT_EQ(c.read(h, buffer, sizeof buffer), 1);
        EXPECT_EQ(std::wstring(buffer), c.text);
      } else {
        EXPECT_EQ(c.read(h, buffer, sizeof buffer), 0);
        EXPECT_EQ(GetLastHIDError(), 31u);  // as the platform left it
      }
    }
  }
}

TEST_F(DeviceStringsTest, ShortOrMissingBufferFails) {
  const uint32_t h = Open();
  for (const StringCase& c : kCases) {
    if (!c.text) continue;
    SCOPED_TRACE(c.name);
    const uint32_t needed = static_cast<uint32_t>((std::wcslen(c.text) + 1) * sizeof(wchar_t));
    wchar_t buffer[128];
    EXPECT_EQ(c.read(h, buffer, needed - 1), 0);
    EXPECT_EQ(GetLastHIDError(), 122u);
    EXPECT_EQ(c.read(h, buffer, needed), 1);
    EXPECT_EQ(c.read(h, nullptr, needed), 0);
    EXPECT_EQ(GetLastHIDError(), 87u);
  }
}

TEST_F(DeviceStringsTest, RefusedForHandlesThatNameNoOpenDevice) {
  const uint32_t h = Open();
  ASSERT_EQ(SetEventHandler(h, nullptr, 0), 1);
  ASSERT_EQ(CloseHIDDevice(h), 1);
  for (const StringCase& c : kCases) {
    for (uint32_t handle : {0u, h, 21u}) {
      SCOPED_TRACE(std::string(c.name) + " handle " + std::to_string(handle));
      wchar_t buffer[128];
      SetLastHIDError(0);
      EXPECT_EQ(c.read(handle, buffer, sizeof buffer), 0);
      EXPECT_EQ(GetLastHIDError(), 87u);
    }
  }
}

}  // namespace
}  // namespace tandril_test
