// Descriptor structures beyond the plain cases: several top-level
// collections, extended usages, long items, aliases, and how usages share
// out a main item's fields.
#include <gtest/gtest.h>

#include "sample_descriptors.h"

namespace hid::testing {
namespace {

ULONG Len(const std::vector<char>& r) { return static_cast<ULONG>(r.size()); }

// Keyboard modifiers in report 1, consumer keys in report 2, each in its own
// top-level collection.
const Bytes kTwoCollections = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0,
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0x03,
    0x75, 0x10, 0x95, 0x02, 0x81, 0x00, 0xC0};

TEST(StructureTest, EachTopLevelCollectionIsItsOwnModel) {
  const ParseResult result = ParseReportDescriptor(kTwoCollections.data(), kTwoCollections.size());
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.collections.size(), 2u);
  EXPECT_TRUE(result.usesReportIds);
  HIDP_CAPS kbd{}, consumer{};
  HidP_GetCaps(result.collections[0].get(), &kbd);
  HidP_GetCaps(result.collections[1].get(), &consumer);
  EXPECT_EQ(kbd.UsagePage, 0x01);
  EXPECT_EQ(kbd.InputReportByteLength, 2);
  EXPECT_EQ(kbd.NumberLinkCollectionNodes, 1);
  EXPECT_EQ(kbd.NumberInputDataIndices, 8);
  EXPECT_EQ(consumer.UsagePage, 0x0C);
  EXPECT_EQ(consumer.InputReportByteLength, 5);
  EXPECT_EQ(consumer.NumberLinkCollectionNodes, 1);
  EXPECT_EQ(consumer.NumberInputDataIndices, 1024);  // counted from 0 in each collection
  const auto buttons = ButtonCaps(result.collections[1].get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].ReportID, 2);
  EXPECT_EQ(buttons[0].LinkCollection, 0);
  // A consumer report read through the keyboard's model is refused.
  std::vector<char> report = {2, 0};
  USAGE_AND_PAGE list[8];
  ULONG length = 8;
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, list, &length, result.collections[0].get(), report.data(), 2),
            HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
  // Keyboard-style array of 16-bit slots: the value is the usage.
  auto c = Report(result.collections[1].get(), HidP_Input, 2);
  c[1] = static_cast<char>(0xE9);  // Volume Increment
  c[3] = static_cast<char>(0x23);
  c[4] = 0x02;  // AC Home
  EXPECT_EQ(ActiveUsages(result.collections[1].get(), HidP_Input, c), (std::vector<uint32_t>{0xC00E9, 0xC0223}));
}

TEST(StructureTest, ExtendedUsagesCarryTheirPageAndLongItemsAreSkipped) {
  const Bytes d = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,
                   0xFE, 0x02, 0x10, 0xAA, 0xBB,                      // long item
                   0x0B, 0x38, 0x02, 0x0C, 0x00,                      // AC Pan, consumer page
                   0x09, 0x38,                                        // Wheel, generic desktop
                   0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0};
  const auto pp = ParseOne(d);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].UsagePage, 0x01);
  EXPECT_EQ(values[0].NotRange.Usage, 0x38);
  EXPECT_EQ(values[1].UsagePage, 0x0C);
  EXPECT_EQ(values[1].NotRange.Usage, 0x238);
  auto report = Report(pp.get(), HidP_Input);
  ASSERT_EQ(HidP_SetUsageValue(HidP_Input, 0x0C, 0, 0x238, 0x11, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(report[1], 0x11);
}

TEST(StructureTest, UsagePageAfterUsagesAppliesToThem) {
  // Usage Min/Max declared first, Usage Page afterwards, then the main item.
  const Bytes d = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x19, 0xE0, 0x29, 0xE7, 0x05, 0x07,
                   0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};
  const auto buttons = ButtonCaps(ParseOne(d).get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].UsagePage, 0x07);
}

TEST(StructureTest, DelimitedAliasesShareOneField) {
  const Bytes d = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0xA9, 0x01, 0x09, 0x30, 0x09, 0x31, 0xA9, 0x00, 0x09, 0x32,
                   0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0};
  const auto pp = ParseOne(d);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].NotRange.Usage, 0x32);
  EXPECT_FALSE(values[0].IsAlias);
  EXPECT_EQ(values[0].NotRange.DataIndex, 0);
  EXPECT_EQ(values[1].NotRange.Usage, 0x31);
  EXPECT_TRUE(values[1].IsAlias);
  EXPECT_EQ(values[2].NotRange.Usage, 0x30);
  EXPECT_FALSE(values[2].IsAlias);
  EXPECT_EQ(values[1].NotRange.DataIndex, 1);
  EXPECT_EQ(values[2].NotRange.DataIndex, 1);
  auto report = Report(pp.get(), HidP_Input);
  report[1] = 0x44;
  report[2] = 0x55;
  ULONG a = 0, b = 0, z = 0;
  HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x30, &a, pp.get(), report.data(), Len(report));
  HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x31, &b, pp.get(), report.data(), Len(report));
  HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x32, &z, pp.get(), report.data(), Len(report));
  EXPECT_EQ(a, 0x44u);
  EXPECT_EQ(b, 0x44u);
  EXPECT_EQ(z, 0x55u);
}

struct ShareCase {
  const char* name;
  Bytes usages;          // local items before the main item
  uint8_t reportCount;
  std::vector<std::array<int, 4>> records;  // usage min, usage max, ReportCount, first byte
  int missingUsage;                         // a declared usage that got no field, or 0
};

class FieldSharing : public ::testing::TestWithParam<ShareCase> {};

TEST_P(FieldSharing, RecordsAndPositions) {
  const ShareCase& c = GetParam();
  Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
  d.insert(d.end(), c.usages.begin(), c.usages.end());
  d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, c.reportCount, 0xB1, 0x02, 0xC0});
  const auto pp = ParseOne(d);
  const auto values = ValueCaps(pp.get(), HidP_Feature);
  ASSERT_EQ(values.size(), c.records.size());
  auto report = Report(pp.get(), HidP_Feature);
  for (size_t i = 0; i < report.size(); ++i) report[i] = static_cast<char>(i);
  for (size_t i = 0; i < values.size(); ++i) {
    const auto [usage, usageMax, count, byte] = c.records[i];
    EXPECT_EQ(values[i].Range.UsageMin, usage);
    EXPECT_EQ(values[i].Range.UsageMax, usageMax);
    EXPECT_EQ(values[i].ReportCount, count);
    ULONG v = 0;
    ASSERT_EQ(HidP_GetUsageValue(HidP_Feature, 0xFF00, 0, static_cast<USAGE>(usage), &v, pp.get(), report.data(),
                                 Len(report)),
              HIDP_STATUS_SUCCESS);
    EXPECT_EQ(v, static_cast<ULONG>(byte));
  }
  if (c.missingUsage != 0) {
    ULONG v = 0;
    EXPECT_EQ(HidP_GetUsageValue(HidP_Feature, 0xFF00, 0, static_cast<USAGE>(c.missingUsage), &v, pp.get(),
                                 report.data(), Len(report)),
              HIDP_STATUS_USAGE_NOT_FOUND);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Variable, FieldSharing,
    ::testing::Values(
        ShareCase{"LastUsageTakesSurplus", {0x09, 0x01, 0x09, 0x02}, 4, {{2, 2, 3, 2}, {1, 1, 1, 1}}, 0},
        ShareCase{"ExtraUsagesDropped", {0x09, 0x01, 0x09, 0x02, 0x09, 0x03}, 2, {{2, 2, 1, 2}, {1, 1, 1, 1}}, 3},
        ShareCase{"RangeThenUsage", {0x19, 0x05, 0x29, 0x07, 0x09, 0x09}, 5, {{9, 9, 2, 4}, {5, 7, 1, 1}}, 0},
        ShareCase{"RangeCutShort", {0x19, 0x05, 0x29, 0x09}, 2, {{5, 6, 1, 1}}, 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StructureTest, PaddingAndEmptyItemsMakeNoRecords) {
  // Report Size 0 without usages, Report Count 0 with a usage: no records,
  // no report bits.
  const Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x00, 0x95, 0x05, 0x81, 0x01,
                   0x09, 0x02, 0x75, 0x08, 0x95, 0x00, 0x81, 0x02, 0xC0};
  const auto pp = ParseOne(d);
  HIDP_CAPS caps{};
  HidP_GetCaps(pp.get(), &caps);
  EXPECT_EQ(caps.InputReportByteLength, 0);
  EXPECT_EQ(caps.NumberInputValueCaps, 0);
  EXPECT_EQ(caps.NumberInputDataIndices, 0);
}

TEST(StructureTest, StringAndDesignatorIndices) {
  const Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x79, 0x04, 0x49, 0x02, 0x59, 0x03,
                   0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02, 0x75, 0x07, 0x81, 0x01, 0xC0};
  const auto buttons = ButtonCaps(ParseOne(d).get(), HidP_Input);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_FALSE(buttons[0].IsStringRange);
  EXPECT_EQ(buttons[0].NotRange.StringIndex, 4);
  EXPECT_EQ(buttons[0].Range.StringMax, 4);
  EXPECT_TRUE(buttons[0].IsDesignatorRange);
  EXPECT_EQ(buttons[0].Range.DesignatorMin, 2);
  EXPECT_EQ(buttons[0].Range.DesignatorMax, 3);
}

TEST(StructureTest, CollectionWithoutUsageTakesTheUsagePage) {
  // Game Pad; a Physical collection with no Usage before it holds X and Y.
  const Bytes d = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0xA1, 0x00, 0x09, 0x30, 0x09, 0x31,
                   0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0, 0xC0};
  const auto pp = ParseOne(d);
  const auto nodes = Nodes(pp.get());
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[1].LinkUsagePage, 0x01);
  EXPECT_EQ(nodes[1].LinkUsage, 0);
  for (const auto& v : ValueCaps(pp.get(), HidP_Input)) EXPECT_EQ(v.LinkUsagePage, 0x01);
}

// Constant items of usage 0, and constant arrays whatever their usage, make
// no record and take no data index; their bits still count. A constant
// variable with a real usage keeps its record.
TEST(StructureTest, ConstantItemsWithoutRecords) {
  const Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
                   0x09, 0x00, 0x75, 0x01, 0x95, 0x02, 0x81, 0x03,   // Usage 0, Cnst,Var: 2 bits
                   0x09, 0x03, 0x75, 0x06, 0x95, 0x01, 0x81, 0x03,   // Usage 3, Cnst,Var: kept
                   0x09, 0x02, 0x75, 0x08, 0x95, 0x5A, 0xB1, 0x01,   // Usage 2, Cnst,Ary: 90 bytes
                   0xC0};
  const auto pp = ParseOne(d);
  HIDP_CAPS caps{};
  ASSERT_EQ(HidP_GetCaps(pp.get(), &caps), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(caps.InputReportByteLength, 2);
  EXPECT_EQ(caps.FeatureReportByteLength, 91);
  EXPECT_EQ(caps.NumberInputButtonCaps, 0);
  EXPECT_EQ(caps.NumberFeatureButtonCaps + caps.NumberFeatureValueCaps + caps.NumberFeatureDataIndices, 0);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].Range.UsageMin, 3);
  EXPECT_EQ(values[0].Range.DataIndexMin, 0);
  EXPECT_TRUE(ButtonCaps(pp.get(), HidP_Feature).empty());
}

// Each report keeps its own length, the ID byte included: per collection,
// per report type and per ID, with padding counted and Push/Pop followed.
TEST(StructureTest, EachReportHasItsOwnLength) {
  const Bytes d = {
      0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,              // collection 0
      0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x00,  //   ID 1: 8 bytes Input
      0x75, 0x01, 0x95, 0x05, 0x91, 0x02,              //   5 bits Output
      0x75, 0x03, 0x95, 0x01, 0x91, 0x01,              //   3 bits Output padding
      0xC0,
      0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,        // collection 1
      0x85, 0x02, 0x75, 0x08, 0x95, 0x03, 0xB1, 0x02,  //   ID 2: 3 bytes Feature
      0xA4, 0x85, 0x03, 0x95, 0x07, 0xB1, 0x02, 0xB4,  //   Push, ID 3: 7 bytes, Pop
      0x09, 0x02, 0xA1, 0x02, 0x95, 0x01, 0xB1, 0x02, 0xC0,  // ID 2 again: one byte more
      0xC0};
  const ParseResult parsed = ParseReportDescriptor(d.data(), d.size());
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  ASSERT_EQ(parsed.collections.size(), 2u);
  auto lengths = [&](size_t c, HIDP_REPORT_TYPE type) {
    std::vector<std::pair<int, int>> out;
    for (const ReportLength& r : GetReportLengths(type, parsed.collections[c].get())) {
      out.emplace_back(r.ReportID, r.ByteLength);
    }
    return out;
  };
  using Lengths = std::vector<std::pair<int, int>>;
  EXPECT_EQ(lengths(0, HidP_Input), (Lengths{{1, 9}}));
  EXPECT_EQ(lengths(0, HidP_Output), (Lengths{{1, 2}}));
  EXPECT_EQ(lengths(0, HidP_Feature), Lengths{});
  EXPECT_EQ(lengths(1, HidP_Feature), (Lengths{{2, 5}, {3, 8}}));
  EXPECT_EQ(GetReportByteLength(HidP_Feature, 3, parsed.collections[1].get()), 8);
  EXPECT_EQ(GetReportByteLength(HidP_Feature, 1, parsed.collections[1].get()), 0);
}

// Item data read the same in the last bytes of a descriptor as elsewhere:
// the Input item's flags in 1, 2 or 4 bytes, followed by an End Collection
// with 0, 2 or 4 data bytes (all of it or none of it within four bytes of
// the end).
TEST(StructureTest, ItemDataNearTheEndReadsTheSame) {
  const Bytes head = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x75, 0x08, 0x95, 0x01};
  const struct {
    Bytes input;
    USHORT bitField;
  } inputs[] = {{{0x81, 0x02}, 0x002}, {{0x82, 0x02, 0x01}, 0x102}, {{0x83, 0x02, 0x01, 0x00, 0x00}, 0x102}};
  const Bytes ends[] = {{0xC0}, {0xC2, 0x00, 0x00}, {0xC3, 0x00, 0x00, 0x00, 0x00}};
  for (const auto& in : inputs) {
    for (const Bytes& end : ends) {
      Bytes d = head;
      d.insert(d.end(), in.input.begin(), in.input.end());
      d.insert(d.end(), end.begin(), end.end());
      const PreparsedPtr pp = ParseOne(d);
      ASSERT_TRUE(pp) << in.input.size() << "-byte Input, " << end.size() << "-byte End Collection";
      const auto caps = ValueCaps(pp.get(), HidP_Input);
      ASSERT_EQ(caps.size(), 1u);
      EXPECT_EQ(caps[0].BitField, in.bitField) << in.input.size() << "-byte Input, " << end.size() << "-byte End";
    }
  }
}

}  // namespace
}  // namespace hid::testing
