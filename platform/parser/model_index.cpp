// Caps arrays and lookup tables, built once per model so that the queries
// and field accessors never scan more than the records they may return.
#include "collection_builder.h"

namespace hid::detail {
namespace {

HIDP_BUTTON_CAPS ToButtonCaps(const Record& r) {
  const HIDP_VALUE_CAPS& v = r.caps;
  HIDP_BUTTON_CAPS b{};
  b.UsagePage = v.UsagePage;
  b.ReportID = v.ReportID;
  b.IsAlias = v.IsAlias;
  b.BitField = v.BitField;
  b.LinkCollection = v.LinkCollection;
  b.LinkUsage = v.LinkUsage;
  b.LinkUsagePage = v.LinkUsagePage;
  b.IsRange = v.IsRange;
  b.IsStringRange = v.IsStringRange;
  b.IsDesignatorRange = v.IsDesignatorRange;
  b.IsAbsolute = v.IsAbsolute;
  b.ReportCount = r.fieldCount;
  b.Range = v.Range;
  return b;
}

void IndexType(ReportTypeModel& t) {
  std::array<uint32_t, 256> perId{};
  for (uint32_t i = 0; i < t.records.size(); ++i) {
    const Record& r = t.records[i];
    t.idHasRecords[r.caps.ReportID] = true;
    if (r.isButton) {
      t.buttonCaps.push_back(ToButtonCaps(r));
      t.buttonRecords.push_back(i);
      ++perId[r.caps.ReportID];
    } else {
      t.valueCaps.push_back(r.caps);
      if (r.caps.IsRange) {
        t.valueRanges.push_back(i);
      } else {
        const uint32_t key = static_cast<uint32_t>(r.caps.UsagePage) << 16 | r.caps.Range.UsageMin;
        t.valuesByUsage[key].push_back(i);
      }
    }
  }
  for (size_t id = 0; id < 256; ++id) t.buttonsByIdStart[id + 1] = t.buttonsByIdStart[id] + perId[id];
  t.buttonsById.resize(t.buttonRecords.size());
  std::array<uint32_t, 256> fill{};
  for (uint32_t i : t.buttonRecords) {
    const uint8_t id = t.records[i].caps.ReportID;
    t.buttonsById[t.buttonsByIdStart[id] + fill[id]++] = i;
  }
}

}  // namespace

void BuildIndexes(HIDP_PREPARSED_DATA& pp) {
  for (auto& t : pp.types) IndexType(t);
  auto& in = pp.types[HidP_Input];
  auto& out = pp.types[HidP_Output];
  auto& feat = pp.types[HidP_Feature];
  pp.caps.NumberInputButtonCaps = static_cast<USHORT>(in.buttonCaps.size());
  pp.caps.NumberInputValueCaps = static_cast<USHORT>(in.valueCaps.size());
  pp.caps.NumberInputDataIndices = in.dataIndexCount;
  pp.caps.NumberOutputButtonCaps = static_cast<USHORT>(out.buttonCaps.size());
  pp.caps.NumberOutputValueCaps = static_cast<USHORT>(out.valueCaps.size());
  pp.caps.NumberOutputDataIndices = out.dataIndexCount;
  pp.caps.NumberFeatureButtonCaps = static_cast<USHORT>(feat.buttonCaps.size());
  pp.caps.NumberFeatureValueCaps = static_cast<USHORT>(feat.valueCaps.size());
  pp.caps.NumberFeatureDataIndices = feat.dataIndexCount;
}

}  // namespace hid::detail
