// Parses the input as a report descriptor; for every collection it parses
// into, runs the queries and field accessors on reports filled from the
// input. Traps when the model contradicts itself.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hidhost/hidp.h"

namespace {

using namespace hid;

constexpr size_t kMaxRecordsExercised = 32;

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::vector<char> FillReport(const uint8_t* data, size_t size, size_t length, uint8_t reportId) {
  std::vector<char> report(length);
  for (size_t i = 0; i < length; ++i) report[i] = static_cast<char>(size ? data[(i * 7) % size] : 0);
  if (length) report[0] = static_cast<char>(reportId);
  return report;
}

void ExerciseValues(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA pp, USHORT count, std::vector<char>& scratch,
                    const uint8_t* data, size_t size) {
  std::vector<HIDP_VALUE_CAPS> caps(count);
  USHORT n = count;
  Check(count == 0 || HidP_GetValueCaps(type, caps.data(), &n, pp) == HIDP_STATUS_SUCCESS);
  // A bounded share of the records keeps each run fast.
  if (caps.size() > kMaxRecordsExercised) caps.resize(kMaxRecordsExercised);
  for (const auto& v : caps) {
    scratch = FillReport(data, size, scratch.size(), v.ReportID);
    const auto length = static_cast<ULONG>(scratch.size());
    unsigned steps = 0;
    for (uint32_t u = v.Range.UsageMin; u <= v.Range.UsageMax && steps < 64; ++u, ++steps) {
      ULONG value = 0;
      const auto usage = static_cast<USAGE>(u);
      // The first record of the usage answers; a field wider than a ULONG
      // cannot be read or written as one.
      const NTSTATUS got =
          HidP_GetUsageValue(type, v.UsagePage, v.LinkCollection, usage, &value, pp, scratch.data(), length);
      Check(got == HIDP_STATUS_SUCCESS || got == HIDP_STATUS_BUFFER_TOO_SMALL);
      Check(HidP_SetUsageValue(type, v.UsagePage, v.LinkCollection, usage, ~value, pp, scratch.data(), length) ==
            got);
    }
  }
}

void ExerciseButtons(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA pp, USHORT count, std::vector<char>& scratch,
                     const uint8_t* data, size_t size) {
  std::vector<HIDP_BUTTON_CAPS> caps(count);
  USHORT n = count;
  Check(count == 0 || HidP_GetButtonCaps(type, caps.data(), &n, pp) == HIDP_STATUS_SUCCESS);
  const ULONG maxUsages = HidP_MaxUsageListLength(type, 0, pp);
  std::vector<USAGE_AND_PAGE> list(maxUsages);
  std::vector<USAGE> plain(maxUsages);
  if (caps.size() > kMaxRecordsExercised) caps.resize(kMaxRecordsExercised);
  for (const auto& b : caps) {
    scratch = FillReport(data, size, scratch.size(), b.ReportID);
    const auto length = static_cast<ULONG>(scratch.size());
    ULONG got = maxUsages;
    Check(HidP_GetUsagesEx(type, 0, list.data(), &got, pp, scratch.data(), length) == HIDP_STATUS_SUCCESS);
    Check(got <= maxUsages);
    got = maxUsages;
    Check(HidP_GetUsages(type, b.UsagePage, b.LinkCollection, plain.data(), &got, pp, scratch.data(), length) ==
          HIDP_STATUS_SUCCESS);
    Check(HidP_InitializeReportForID(type, b.ReportID, pp, scratch.data(), length) == HIDP_STATUS_SUCCESS);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ParseResult result = ParseReportDescriptor(data, size);
  Check(result.ok() != result.collections.empty());
  for (const auto& model : result.collections) {
    PHIDP_PREPARSED_DATA pp = model.get();
    HIDP_CAPS caps{};
    Check(HidP_GetCaps(pp, &caps) == HIDP_STATUS_SUCCESS);
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes(caps.NumberLinkCollectionNodes);
    ULONG nodeCount = caps.NumberLinkCollectionNodes;
    Check(HidP_GetLinkCollectionNodes(nodes.data(), &nodeCount, pp) == HIDP_STATUS_SUCCESS);
    for (size_t i = 1; i < nodes.size(); ++i) Check(nodes[i].Parent < i);
    const USHORT lengths[] = {caps.InputReportByteLength, caps.OutputReportByteLength, caps.FeatureReportByteLength};
    const USHORT buttons[] = {caps.NumberInputButtonCaps, caps.NumberOutputButtonCaps, caps.NumberFeatureButtonCaps};
    const USHORT values[] = {caps.NumberInputValueCaps, caps.NumberOutputValueCaps, caps.NumberFeatureValueCaps};
    for (int t = 0; t < 3; ++t) {
      const auto type = static_cast<HIDP_REPORT_TYPE>(t);
      std::vector<char> scratch(lengths[t]);
      if (buttons[t] + values[t] != 0) Check(lengths[t] >= 2);
      // Each report's own length: IDs ascending, the longest is the caps length.
      USHORT longest = 0;
      int lastId = -1;
      for (const ReportLength& r : GetReportLengths(type, pp)) {
        Check(r.ReportID > lastId && r.ByteLength >= 2 && GetReportByteLength(type, r.ReportID, pp) == r.ByteLength);
        lastId = r.ReportID;
        if (r.ByteLength > longest) longest = r.ByteLength;
      }
      Check(longest == lengths[t]);
      ExerciseValues(type, pp, values[t], scratch, data, size);
      ExerciseButtons(type, pp, buttons[t], scratch, data, size);
    }
    (void)DumpPreparsedData(pp);
  }
  return 0;
}
