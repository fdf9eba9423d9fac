// Capabilities, link-collection nodes and caps records of hand-written
// descriptors, worked out from the rules of the report model.
#include <gtest/gtest.h>

#include <cstring>

#include "sample_descriptors.h"

namespace hid::testing {
namespace {

struct CapsCase {
  const char* name;
  const Bytes* descriptor;
  HIDP_CAPS expected;
};

HIDP_CAPS Caps(USAGE page, USAGE usage, USHORT in, USHORT out, USHORT feat, USHORT nodes,
               std::array<USHORT, 9> counts) {
  HIDP_CAPS c{};
  c.UsagePage = page;
  c.Usage = usage;
  c.InputReportByteLength = in;
  c.OutputReportByteLength = out;
  c.FeatureReportByteLength = feat;
  c.NumberLinkCollectionNodes = nodes;
  c.NumberInputButtonCaps = counts[0];
  c.NumberInputValueCaps = counts[1];
  c.NumberInputDataIndices = counts[2];
  c.NumberOutputButtonCaps = counts[3];
  c.NumberOutputValueCaps = counts[4];
  c.NumberOutputDataIndices = counts[5];
  c.NumberFeatureButtonCaps = counts[6];
  c.NumberFeatureValueCaps = counts[7];
  c.NumberFeatureDataIndices = counts[8];
  return c;
}

// Buttons, values and data indices per report type, in HIDP_CAPS order.
std::array<USHORT, 9> Counts(const HIDP_CAPS& c) {
  std::array<USHORT, 9> out{};
  std::memcpy(out.data(), &c.NumberInputButtonCaps, sizeof out);
  return out;
}

class CapsTest : public ::testing::TestWithParam<CapsCase> {};

TEST_P(CapsTest, MatchesExpectedRecord) {
  const auto pp = ParseOne(*GetParam().descriptor);
  ASSERT_TRUE(pp);
  HIDP_CAPS caps{};
  ASSERT_EQ(HidP_GetCaps(pp.get(), &caps), HIDP_STATUS_SUCCESS);
  const HIDP_CAPS& e = GetParam().expected;
  EXPECT_EQ(caps.UsagePage, e.UsagePage);
  EXPECT_EQ(caps.Usage, e.Usage);
  EXPECT_EQ(caps.InputReportByteLength, e.InputReportByteLength);
  EXPECT_EQ(caps.OutputReportByteLength, e.OutputReportByteLength);
  EXPECT_EQ(caps.FeatureReportByteLength, e.FeatureReportByteLength);
  EXPECT_EQ(caps.NumberLinkCollectionNodes, e.NumberLinkCollectionNodes);
  EXPECT_EQ(Counts(caps), Counts(e));
  for (USHORT r : caps.Reserved) EXPECT_EQ(r, 0);
}

INSTANTIATE_TEST_SUITE_P(
    HandWritten, CapsTest,
    ::testing::Values(
        CapsCase{"BootKeyboard", &kBootKeyboard, Caps(0x01, 0x06, 9, 2, 0, 1, {2, 0, 110, 1, 0, 5, 0, 0, 0})},
        CapsCase{"WheelMouse", &kWheelMouse, Caps(0x01, 0x02, 5, 0, 0, 2, {1, 3, 6, 0, 0, 0, 0, 0, 0})},
        CapsCase{"VendorFeature", &kVendorFeature, Caps(0xFF00, 0x01, 0, 0, 20, 1, {0, 0, 0, 0, 0, 0, 1, 2, 3})},
        CapsCase{"PowerDevice", &kPowerDevice, Caps(0x84, 0x04, 3, 2, 3, 3, {2, 1, 3, 0, 1, 1, 0, 3, 3})},
        CapsCase{"VendorNested", &kVendorNested, Caps(0xFF00, 0x01, 2, 0, 4, 2, {2, 0, 2, 0, 0, 0, 0, 2, 2})}),
    [](const auto& info) { return std::string(info.param.name); });

// The nested vendor device: records come out last declared first, data
// indices follow the records of variable items, nodes link to their parent.
TEST(RecordsTest, NestedVendorDeviceRecordsAndNodes) {
  const auto pp = ParseOne(kVendorNested);
  const auto values = ValueCaps(pp.get(), HidP_Feature);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].NotRange.Usage, 0x11);
  EXPECT_EQ(values[0].ReportCount, 2);
  EXPECT_EQ(values[0].NotRange.DataIndex, 0);
  EXPECT_EQ(values[1].NotRange.Usage, 0x10);
  EXPECT_EQ(values[1].ReportCount, 1);
  EXPECT_EQ(values[1].NotRange.DataIndex, 1);
  for (const auto& v : values) {
    EXPECT_EQ(v.UsagePage, 0xFF00);
    EXPECT_EQ(v.ReportID, 1);
    EXPECT_EQ(v.LogicalMax, 255);
    EXPECT_EQ(v.LinkCollection, 0);
    EXPECT_EQ(v.BitSize, 8);
    EXPECT_EQ(v.NotRange.Reserved1, v.NotRange.Usage);
    EXPECT_EQ(v.NotRange.Reserved4, v.NotRange.DataIndex);
  }
  const auto buttons = ButtonCaps(pp.get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0].NotRange.Usage, 0x22);
  EXPECT_EQ(buttons[0].NotRange.DataIndex, 0);
  EXPECT_EQ(buttons[1].NotRange.Usage, 0x21);
  EXPECT_EQ(buttons[1].NotRange.DataIndex, 1);
  for (const auto& b : buttons) {
    EXPECT_EQ(b.LinkCollection, 1);
    EXPECT_EQ(b.LinkUsage, 0x20);
    EXPECT_EQ(b.LinkUsagePage, 0xFF00);
    EXPECT_EQ(b.BitField, 0x02);
    EXPECT_TRUE(b.IsAbsolute);
  }
  const auto nodes = Nodes(pp.get());
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].LinkUsage, 1);
  EXPECT_EQ(nodes[0].CollectionType, 1u);
  EXPECT_EQ(nodes[0].NumberOfChildren, 1);
  EXPECT_EQ(nodes[0].FirstChild, 1);
  EXPECT_EQ(nodes[1].LinkUsage, 0x20);
  EXPECT_EQ(nodes[1].CollectionType, 2u);
  EXPECT_EQ(nodes[1].Parent, 0);
}

TEST(RecordsTest, PowerDeviceSiblingsLinkNewestFirst) {
  const auto pp = ParseOne(kPowerDevice);
  const auto nodes = Nodes(pp.get());
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[0].NumberOfChildren, 2);
  EXPECT_EQ(nodes[0].FirstChild, 2);
  EXPECT_EQ(nodes[2].NextSibling, 1);
  EXPECT_EQ(nodes[1].NextSibling, 0);
  EXPECT_EQ(nodes[1].LinkUsage, 0x1E);
  EXPECT_EQ(nodes[2].LinkUsage, 0x10);
  EXPECT_EQ(nodes[2].CollectionType, 0u);
  for (const auto& n : nodes) EXPECT_EQ(n.LinkUsagePage, 0x84);
}

// Global values keep the sign of their encoded size; Push/Pop restores the
// units and report ID that were in effect.
TEST(RecordsTest, PowerDeviceValueFields) {
  const auto pp = ParseOne(kPowerDevice);
  const auto feature = ValueCaps(pp.get(), HidP_Feature);
  ASSERT_EQ(feature.size(), 3u);
  const HIDP_VALUE_CAPS& voltage = feature[0];
  EXPECT_EQ(voltage.NotRange.Usage, 0x30);
  EXPECT_EQ(voltage.ReportID, 1);
  EXPECT_EQ(voltage.BitSize, 16);
  EXPECT_EQ(voltage.LogicalMin, 0);
  EXPECT_EQ(voltage.LogicalMax, 65535);
  EXPECT_EQ(voltage.UnitsExp, 0xFFFFFFFEu);
  EXPECT_EQ(voltage.Units, 0x00F0D121u);
  EXPECT_EQ(voltage.LinkCollection, 1);
  const HIDP_VALUE_CAPS& remaining = feature[1];
  EXPECT_EQ(remaining.UsagePage, 0x85);
  EXPECT_EQ(remaining.NotRange.Usage, 0x66);
  EXPECT_EQ(remaining.ReportID, 2);
  EXPECT_EQ(remaining.UnitsExp, 0u);  // restored by Pop
  EXPECT_EQ(remaining.Units, 0u);
  EXPECT_EQ(remaining.LinkCollection, 2);
  const HIDP_VALUE_CAPS& config = feature[2];
  EXPECT_EQ(config.NotRange.Usage, 0x40);
  EXPECT_EQ(config.LogicalMin, -10);
  EXPECT_EQ(config.LogicalMax, 10);

  const auto input = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(input.size(), 1u);
  EXPECT_EQ(input[0].LogicalMin, -32768);
  EXPECT_EQ(input[0].LogicalMax, 32767);
  EXPECT_EQ(input[0].Units, 0x00100001u);

  const auto bits = ButtonCaps(pp.get(), HidP_Input);
  ASSERT_EQ(bits.size(), 2u);
  EXPECT_EQ(bits[0].UsagePage, 0x85);
  EXPECT_EQ(bits[0].NotRange.Usage, 0x45);
  EXPECT_EQ(bits[1].NotRange.Usage, 0x44);
  EXPECT_EQ(bits[0].ReportID, 2);
}

TEST(RecordsTest, MouseRecordsReverseAxesAndKeepRange) {
  const auto pp = ParseOne(kWheelMouse);
  const auto buttons = ButtonCaps(pp.get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_TRUE(buttons[0].IsRange);
  EXPECT_EQ(buttons[0].Range.UsageMin, 1);
  EXPECT_EQ(buttons[0].Range.UsageMax, 3);
  EXPECT_EQ(buttons[0].Range.DataIndexMin, 0);
  EXPECT_EQ(buttons[0].Range.DataIndexMax, 2);
  EXPECT_EQ(buttons[0].LinkCollection, 1);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 3u);
  const USAGE usages[] = {0x38, 0x31, 0x30};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(values[i].NotRange.Usage, usages[i]);
    EXPECT_EQ(values[i].NotRange.DataIndex, 3 + i);
    EXPECT_EQ(values[i].LogicalMin, -127);
    EXPECT_EQ(values[i].LogicalMax, 127);
    EXPECT_FALSE(values[i].IsAbsolute);
    EXPECT_EQ(values[i].BitField, 0x06);
  }
}

TEST(RecordsTest, KeyboardArrayAndModifierRecords) {
  const auto pp = ParseOne(kBootKeyboard);
  const auto buttons = ButtonCaps(pp.get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0].Range.UsageMin, 0xE0);
  EXPECT_EQ(buttons[0].Range.DataIndexMin, 0);
  EXPECT_EQ(buttons[0].Range.DataIndexMax, 7);
  EXPECT_EQ(buttons[1].Range.UsageMin, 0x00);
  EXPECT_EQ(buttons[1].Range.UsageMax, 0x65);
  EXPECT_EQ(buttons[1].Range.DataIndexMin, 8);
  EXPECT_EQ(buttons[1].Range.DataIndexMax, 109);
  EXPECT_EQ(buttons[1].BitField, 0x00);
  EXPECT_EQ(buttons[1].ReportCount, 6);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0, pp.get()), 14u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0x07, pp.get()), 14u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Output, 0x08, pp.get()), 5u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Output, 0x07, pp.get()), 0u);
}

// Filters of the specific caps queries, and their size-query protocol.
TEST(CapsQueryTest, SpecificFiltersAndBufferSizes) {
  const auto pp = ParseOne(kPowerDevice);
  HIDP_VALUE_CAPS caps[4]{};
  USHORT length = 4;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0x85, 0, 0, caps, &length, pp.get()), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(caps[0].NotRange.Usage, 0x66);
  length = 4;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0, 2, 0, caps, &length, pp.get()), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 2);
  length = 4;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0x84, 0, 0x40, caps, &length, pp.get()), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  length = 4;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0x84, 0, 0x99, caps, &length, pp.get()),
            HIDP_STATUS_USAGE_NOT_FOUND);
  EXPECT_EQ(length, 0);
  length = 0;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, nullptr, &length, pp.get()),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 3);
  length = 1;
  EXPECT_EQ(HidP_GetValueCaps(HidP_Feature, caps, &length, pp.get()), HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(caps[0].NotRange.Usage, 0x30);
  length = 4;
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Feature, nullptr, &length, pp.get()), HIDP_STATUS_USAGE_NOT_FOUND);
  EXPECT_EQ(length, 0);
  // A range record matches every usage inside it.
  const auto kbd = ParseOne(kBootKeyboard);
  HIDP_BUTTON_CAPS b[2]{};
  length = 2;
  EXPECT_EQ(HidP_GetSpecificButtonCaps(HidP_Input, 0x07, 0, 0xE3, b, &length, kbd.get()), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(b[0].Range.UsageMin, 0xE0);
}

TEST(CapsQueryTest, ArgumentChecks) {
  const auto pp = ParseOne(kWheelMouse);
  HIDP_CAPS caps{};
  EXPECT_EQ(HidP_GetCaps(nullptr, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
  USHORT length = 1;
  HIDP_BUTTON_CAPS b{};
  EXPECT_EQ(HidP_GetButtonCaps(static_cast<HIDP_REPORT_TYPE>(3), &b, &length, pp.get()),
            HIDP_STATUS_INVALID_REPORT_TYPE);
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Input, &b, &length, nullptr), HIDP_STATUS_INVALID_PREPARSED_DATA);
  ULONG nodeCount = 1;
  HIDP_LINK_COLLECTION_NODE node{};
  EXPECT_EQ(HidP_GetLinkCollectionNodes(&node, &nodeCount, pp.get()), HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(nodeCount, 2u);
  EXPECT_EQ(HidP_MaxUsageListLength(static_cast<HIDP_REPORT_TYPE>(7), 0, pp.get()), 0u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0, nullptr), 0u);
}

}  // namespace
}  // namespace hid::testing
