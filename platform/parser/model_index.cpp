// Report entries, caps counts and lookup indices, built once per model so
// that the queries and field accessors never scan more than the records
// they may return. Every cost here grows with the records and report IDs
// present, never with the 256 possible IDs.
#include <algorithm>
#include <array>

#include "collection_builder.h"

namespace hid {

const detail::ReportEntry* HIDP_PREPARSED_DATA::FindReport(const detail::ReportTypeModel& t, uint8_t id) const {
  const detail::ReportEntry* first = Reports(t);
  const detail::ReportEntry* last = first + t.reports.count;
  const auto* it = std::lower_bound(first, last, id, [](const detail::ReportEntry& e, uint8_t v) {
    return e.length.ReportID < v;
  });
  return it != last && it->length.ReportID == id ? it : nullptr;
}

namespace detail {
namespace {

// The next `count` entries of the index; `used` counts the entries taken.
Slice Take(uint32_t& used, uint32_t count) {
  const Slice s{used, count};
  used += count;
  return s;
}

// A type without records: empty slices where the index has got to.
void EmptyType(HIDP_PREPARSED_DATA& pp, ReportTypeModel& t, uint32_t used) {
  const Slice none{used, 0};
  t.buttonCount = t.valueCount = 0;
  t.buttonRecords = t.buttonsById = t.valuesByUsage = t.valueRanges = none;
  for (uint32_t i = 0; i < t.reports.count; ++i) {
    ReportEntry& e = pp.reports[t.reports.begin + i];
    e.buttonsBegin = e.buttonsEnd = 0;
  }
}

void IndexType(HIDP_PREPARSED_DATA& pp, ReportTypeModel& t, const RecordCounts& counts, uint32_t& used,
               std::vector<uint64_t>& keys) {
  const Record* records = pp.Records(t);
  ReportEntry* reports = pp.reports.data() + t.reports.begin;
  ReportEntry* reportsEnd = reports + t.reports.count;
  if (t.records.count == 0) return EmptyType(pp, t, used);
  // Position of each report ID's entry; every record's ID has one.
  std::array<uint8_t, 256> position{};
  for (uint32_t i = 0; i < t.reports.count; ++i) position[reports[i].length.ReportID] = static_cast<uint8_t>(i);
  auto entryOf = [&](uint8_t id) { return reports + position[id]; };
  const uint32_t buttons = counts.buttons, ranges = counts.ranges, singles = counts.singles;
  // Buttons per report: counted in buttonsEnd, turned into places.
  t.buttonCount = static_cast<uint16_t>(buttons);
  t.valueCount = static_cast<uint16_t>(ranges + singles);
  uint32_t at = 0;
  for (ReportEntry* e = reports; e != reportsEnd; ++e) {
    e->buttonsBegin = at;
    at += e->buttonsEnd;
    e->buttonsEnd = e->buttonsBegin;
  }
  t.buttonRecords = Take(used, buttons);
  t.buttonsById = Take(used, buttons);
  t.valuesByUsage = Take(used, 2 * singles);
  t.valueRanges = Take(used, ranges);
  uint32_t* buttonRecords = pp.index.data() + t.buttonRecords.begin;
  uint32_t* buttonsById = pp.index.data() + t.buttonsById.begin;
  uint32_t* valueRanges = pp.index.data() + t.valueRanges.begin;
  // (key << 32 | record number) sorts by usage, then declaration order.
  keys.clear();
  for (uint32_t i = 0; i < t.records.count; ++i) {
    const Record& r = records[i];
    if (r.isButton) {
      *buttonRecords++ = i;
      buttonsById[entryOf(r.caps.ReportID)->buttonsEnd++] = i;
    } else if (r.caps.IsRange) {
      *valueRanges++ = i;
    } else {
      const uint64_t key = static_cast<uint64_t>(r.caps.UsagePage) << 16 | r.caps.Range.UsageMin;
      keys.push_back(key << 32 | i);
    }
  }
  std::sort(keys.begin(), keys.end());
  uint32_t* pairs = pp.index.data() + t.valuesByUsage.begin;
  for (uint64_t k : keys) {
    *pairs++ = static_cast<uint32_t>(k >> 32);
    *pairs++ = static_cast<uint32_t>(k);
  }
}

}  // namespace

void BuildIndexes(HIDP_PREPARSED_DATA& pp, const std::array<RecordCounts, 3>& counts,
                  std::vector<uint64_t>& scratch) {
  // The model's index has room for exactly the entries taken here.
  scratch.reserve(pp.records.size());
  uint32_t used = 0;
  for (int t = 0; t < 3; ++t) IndexType(pp, pp.types[t], counts[t], used, scratch);
  const auto& in = pp.types[HidP_Input];
  const auto& out = pp.types[HidP_Output];
  const auto& feat = pp.types[HidP_Feature];
  pp.caps.NumberInputButtonCaps = in.buttonCount;
  pp.caps.NumberInputValueCaps = in.valueCount;
  pp.caps.NumberInputDataIndices = in.dataIndexCount;
  pp.caps.NumberOutputButtonCaps = out.buttonCount;
  pp.caps.NumberOutputValueCaps = out.valueCount;
  pp.caps.NumberOutputDataIndices = out.dataIndexCount;
  pp.caps.NumberFeatureButtonCaps = feat.buttonCount;
  pp.caps.NumberFeatureValueCaps = feat.valueCount;
  pp.caps.NumberFeatureDataIndices = feat.dataIndexCount;
}

}  // namespace detail
}  // namespace hid
