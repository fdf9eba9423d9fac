// Every real descriptor in the test data parses, gives caps consistent with
// its records, and every record can be read and written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "descriptor_text.h"
#include "sample_descriptors.h"

namespace hid::testing {
namespace {

std::filesystem::path DescriptorDir() {
  return std::filesystem::path(PARSER_TESTDATA_DIR) / "descriptors";
}

std::vector<std::string> DescriptorNames() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(DescriptorDir(), ec)) {
    if (entry.path().extension() == ".hex") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RealDescriptorSet, HasAllFiles) { EXPECT_EQ(DescriptorNames().size(), 23u) << DescriptorDir(); }

class RealDescriptor : public ::testing::TestWithParam<std::string> {
 protected:
  ParseResult Parse() {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(LoadDescriptorFile((DescriptorDir() / GetParam()).string(), &bytes, &error)) << error;
    return ParseReportDescriptor(bytes.data(), bytes.size());
  }
};

// Report lengths cover every record's fields, and the counts match what
// the queries return.
void CheckCaps(PHIDP_PREPARSED_DATA pp) {
  HIDP_CAPS caps{};
  ASSERT_EQ(HidP_GetCaps(pp, &caps), HIDP_STATUS_SUCCESS);
  EXPECT_GE(caps.NumberLinkCollectionNodes, 1);
  const auto nodes = Nodes(pp);
  ASSERT_EQ(nodes.size(), caps.NumberLinkCollectionNodes);
  for (size_t i = 1; i < nodes.size(); ++i) EXPECT_LT(nodes[i].Parent, i);
  const USHORT lengths[] = {caps.InputReportByteLength, caps.OutputReportByteLength, caps.FeatureReportByteLength};
  const USHORT buttonCounts[] = {caps.NumberInputButtonCaps, caps.NumberOutputButtonCaps, caps.NumberFeatureButtonCaps};
  const USHORT valueCounts[] = {caps.NumberInputValueCaps, caps.NumberOutputValueCaps, caps.NumberFeatureValueCaps};
  for (int t = 0; t < 3; ++t) {
    const auto type = static_cast<HIDP_REPORT_TYPE>(t);
    const auto buttons = ButtonCaps(pp, type);
    const auto values = ValueCaps(pp, type);
    EXPECT_EQ(buttons.size(), buttonCounts[t]);
    EXPECT_EQ(values.size(), valueCounts[t]);
    if (!buttons.empty() || !values.empty()) {
      EXPECT_GE(lengths[t], 2);
    }
    ULONG maxUsages = 0;
    for (const auto& b : buttons) {
      EXPECT_LT(b.LinkCollection, nodes.size());
      EXPECT_LE(b.Range.UsageMin, b.Range.UsageMax);
      maxUsages += b.ReportCount;
    }
    EXPECT_EQ(HidP_MaxUsageListLength(type, 0, pp), maxUsages);
    for (const auto& v : values) {
      EXPECT_LT(v.LinkCollection, nodes.size());
      EXPECT_GE(v.BitSize, 1);
      EXPECT_LE(v.BitSize, 32);
      const uint32_t fields = v.IsRange ? v.Range.UsageMax - v.Range.UsageMin + 1u : v.ReportCount;
      EXPECT_LE(8u + fields * v.BitSize, lengths[t] * 8u);
    }
  }
}

// Writes a distinct pattern to every value field and reads it back, then
// checks that the active-button query answers for every report ID.
void CheckFields(PHIDP_PREPARSED_DATA pp) {
  for (int t = 0; t < 3; ++t) {
    const auto type = static_cast<HIDP_REPORT_TYPE>(t);
    for (const auto& v : ValueCaps(pp, type)) {
      auto report = Report(pp, type, v.ReportID);
      const ULONG mask = v.BitSize >= 32 ? 0xFFFFFFFFu : (1u << v.BitSize) - 1;
      for (USAGE u = v.Range.UsageMin;; ++u) {
        const ULONG pattern = (0x5A3C96E1u ^ (u * 0x9E3779B9u)) & mask;
        ASSERT_EQ(HidP_SetUsageValue(type, v.UsagePage, v.LinkCollection, u, pattern, pp, report.data(),
                                     static_cast<ULONG>(report.size())),
                  HIDP_STATUS_SUCCESS);
        ULONG back = ~pattern;
        ASSERT_EQ(HidP_GetUsageValue(type, v.UsagePage, v.LinkCollection, u, &back, pp, report.data(),
                                     static_cast<ULONG>(report.size())),
                  HIDP_STATUS_SUCCESS);
        // Another record of the same usage may come first in this report;
        // only a record that is the first match must read back exactly.
        HIDP_VALUE_CAPS first{};
        USHORT n = 1;
        HidP_GetSpecificValueCaps(type, v.UsagePage, v.LinkCollection, u, &first, &n, pp);
        if (first.ReportID == v.ReportID && first.Range.DataIndexMin == v.Range.DataIndexMin) {
          EXPECT_EQ(back, pattern) << "usage " << u;
        }
        if (u == v.Range.UsageMax) break;
      }
    }
    for (const auto& b : ButtonCaps(pp, type)) {
      auto report = Report(pp, type, b.ReportID);
      std::fill(report.begin() + 1, report.end(), static_cast<char>(0xFF));
      ULONG length = HidP_MaxUsageListLength(type, 0, pp);
      std::vector<USAGE_AND_PAGE> list(length);
      ASSERT_EQ(HidP_GetUsagesEx(type, 0, list.data(), &length, pp, report.data(), static_cast<ULONG>(report.size())),
                HIDP_STATUS_SUCCESS);
      // All bits set: every variable button reads as pressed.
      if (b.BitField & 0x02) {
        EXPECT_GE(length, 1u);
      }
    }
  }
}

TEST_P(RealDescriptor, ParsesWithSaneCapsAndWorkingFields) {
  const ParseResult result = Parse();
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_FALSE(result.collections.empty());
  for (const auto& pp : result.collections) {
    SCOPED_TRACE(DumpPreparsedData(pp.get()).substr(0, 200));
    CheckCaps(pp.get());
    CheckFields(pp.get());
  }
}

INSTANTIATE_TEST_SUITE_P(Files, RealDescriptor, ::testing::ValuesIn(DescriptorNames()), [](const auto& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
});

}  // namespace
}  // namespace hid::testing
