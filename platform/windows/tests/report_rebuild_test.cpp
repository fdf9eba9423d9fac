// The descriptor rebuilt from what HidP_* tells gives the model of the
// original descriptor: the scripted table answers HidP_* from the suite's
// own parser, so the round trip must give the same dump.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report_rebuild.h"
#include "scripted_api.h"

namespace hidhost::win::testing {
namespace {

std::vector<uint8_t> HexFile(const std::string& name) {
  std::ifstream in(std::string(PARSER_TESTDATA_DIR) + "/descriptors/" + name);
  std::vector<uint8_t> bytes;
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

// A keyboard whose reserved byte has no usage (padding the probe cannot
// see), an array of key codes, LED outputs with trailing padding.
const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// Report IDs, nested collections, a value with units, a feature byte array.
const std::vector<uint8_t> kVendorWithIds = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x02, 0xA1, 0x02, 0x09, 0x03, 0x15,
    0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0xC0, 0x85, 0x02, 0x09, 0x04, 0x16,
    0x00, 0x80, 0x26, 0xFF, 0x7F, 0x75, 0x10, 0x95, 0x01, 0x66, 0x01, 0x10, 0x55, 0x0E, 0x81, 0x02,
    0x75, 0x04, 0x81, 0x03, 0x09, 0x05, 0x75, 0x01, 0x95, 0x04, 0x25, 0x01, 0x15, 0x00, 0x81, 0x02,
    0xC0};

TEST(ReportRebuild, GivesTheModelOfTheOriginalDescriptor) {
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
      {"boot keyboard", kBootKeyboard},
      {"vendor collection with report IDs", kVendorWithIds},
      {"ups_generic_5131_2007", HexFile("ups_generic_5131_2007.hex")},
      {"kbd_cherry_046a_0011", HexFile("kbd_cherry_046a_0011.hex")},
      {"mouse_razer_1532_00a3", HexFile("mouse_razer_1532_00a3.hex")},
  };
  for (const auto& [name, descriptor] : cases) {
    SCOPED_TRACE(name);
    ScriptedApi api;
    api.SetDescriptor(descriptor);
    ASSERT_TRUE(api.model);
    const auto rebuilt = RebuildDescriptor(api, api.GetPreparsedData(nullptr));
    ASSERT_TRUE(rebuilt);
    const hid::ParseResult parsed = hid::ParseReportDescriptor(rebuilt->data(), rebuilt->size());
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    ASSERT_EQ(parsed.collections.size(), 1u);
    EXPECT_EQ(hid::DumpPreparsedData(parsed.collections[0].get()), hid::DumpPreparsedData(api.model.get()));
  }
}

TEST(ReportRebuild, RefusedCapsQueryGivesNoDescriptor) {
  ScriptedApi api;
  EXPECT_FALSE(RebuildDescriptor(api, nullptr));
}

}  // namespace
}  // namespace hidhost::win::testing
