#include "sample_descriptors.h"

#include <gtest/gtest.h>

namespace hid::testing {

PreparsedPtr ParseOne(const Bytes& bytes) {
  const ParseResult result = ParseReportDescriptor(bytes.data(), bytes.size());
  EXPECT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.collections.size(), 1u);
  return result.collections.empty() ? nullptr : result.collections[0];
}

namespace {

// All records of a report type through one of the two caps queries.
template <typename Caps, typename Query>
std::vector<Caps> AllCaps(PHIDP_PREPARSED_DATA pp, HIDP_REPORT_TYPE type, Query query) {
  USHORT length = 0;
  if (query(type, nullptr, &length, pp) == HIDP_STATUS_USAGE_NOT_FOUND) return {};
  std::vector<Caps> caps(length);
  EXPECT_EQ(query(type, caps.data(), &length, pp), HIDP_STATUS_SUCCESS);
  caps.resize(length);
  return caps;
}

}  // namespace

std::vector<HIDP_BUTTON_CAPS> ButtonCaps(PHIDP_PREPARSED_DATA pp, HIDP_REPORT_TYPE type) {
  return AllCaps<HIDP_BUTTON_CAPS>(pp, type, HidP_GetButtonCaps);
}

std::vector<HIDP_VALUE_CAPS> ValueCaps(PHIDP_PREPARSED_DATA pp, HIDP_REPORT_TYPE type) {
  return AllCaps<HIDP_VALUE_CAPS>(pp, type, HidP_GetValueCaps);
}

std::vector<HIDP_LINK_COLLECTION_NODE> Nodes(PHIDP_PREPARSED_DATA pp) {
  ULONG length = 0;
  EXPECT_EQ(HidP_GetLinkCollectionNodes(nullptr, &length, pp), HIDP_STATUS_BUFFER_TOO_SMALL);
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes(length);
  EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes.data(), &length, pp), HIDP_STATUS_SUCCESS);
  return nodes;
}

std::vector<char> Report(PHIDP_PREPARSED_DATA pp, HIDP_REPORT_TYPE type, uint8_t reportId) {
  HIDP_CAPS caps{};
  HidP_GetCaps(pp, &caps);
  const USHORT lengths[] = {caps.InputReportByteLength, caps.OutputReportByteLength, caps.FeatureReportByteLength};
  std::vector<char> report(lengths[type]);
  if (!report.empty()) report[0] = static_cast<char>(reportId);
  return report;
}

std::vector<uint32_t> ActiveUsages(PHIDP_PREPARSED_DATA pp, HIDP_REPORT_TYPE type, const std::vector<char>& report) {
  ULONG length = HidP_MaxUsageListLength(type, 0, pp);
  std::vector<USAGE_AND_PAGE> list(length);
  const NTSTATUS status = HidP_GetUsagesEx(type, 0, list.data(), &length, pp, report.data(),
                                           static_cast<ULONG>(report.size()));
  EXPECT_EQ(status, HIDP_STATUS_SUCCESS);
  std::vector<uint32_t> out;
  for (ULONG i = 0; i < length && status == HIDP_STATUS_SUCCESS; ++i) {
    out.push_back(static_cast<uint32_t>(list[i].UsagePage) << 16 | list[i].Usage);
  }
  return out;
}

}  // namespace hid::testing
