// The manufacturer, product and serial-number strings of an open device
// (refused handles, closed ones included, are in the handle table of
// device_open_test.cpp).
#include <string>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

class DeviceStringsTest : public SimHostTest {};

TEST_F(DeviceStringsTest, ReadsWhatTheDeviceHasIntoBuffersThatFit) {
  const struct {
    const char* name;
    int32_t(TANDRIL_CALL* read)(uint32_t, wchar_t*, uint32_t);
    const wchar_t* text;  // null: the device has no such string
  } cases[] = {
      {"manufacturer", GetManufacturerString, L"Orvane Power"},
      {"product", GetProductString, L"Orvane UPS \u00e9 1500"},
      {"serial number", GetSerialNumberString, nullptr},
  };
  SimDevice d;
  d.descriptor = Descriptor().UsagePage(0x84).Usage(0x04).Collection(0x01)
                     .ReportId(1).Field(8, 1, 0, 255).Usage(0xD0).Input()
                     .EndCollection().bytes();
  d.manufacturer = cases[0].text;
  d.product = cases[1].text;
  const uint32_t h = InstallAndOpen(d);

  for (bool worker : {false, true}) {
    if (worker) {
      ASSERT_EQ(SetEventHandler(h, nullptr, 0), 1);
    }
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (worker ? " with a worker" : ""));
      wchar_t buffer[64];
      SetLastHIDError(0);
      if (!c.text) {
        EXPECT_EQ(c.read(h, buffer, sizeof buffer), 0);
        EXPECT_EQ(GetLastHIDError(), 31u);  // as the platform left it
        continue;
      }
      const auto needed = static_cast<uint32_t>((std::wcslen(c.text) + 1) * sizeof(wchar_t));
      ASSERT_EQ(c.read(h, buffer, needed), 1);
      EXPECT_EQ(std::wstring(buffer), c.text);
      EXPECT_EQ(c.read(h, buffer, needed - 1), 0);
      EXPECT_EQ(GetLastHIDError(), 122u);
      EXPECT_EQ(c.read(h, nullptr, needed), 0);
      EXPECT_EQ(GetLastHIDError(), 87u);
    }
  }
}

}  // namespace
}  // namespace tandril_test
