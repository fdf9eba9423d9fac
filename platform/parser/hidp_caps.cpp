// Capability queries of the report model.
#include <cstring>
#include <type_traits>

#include "preparsed.h"

namespace hid {
namespace {

using detail::IsValid;
using detail::IsValidType;
using detail::Record;

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

void Convert(const Record& r, HIDP_BUTTON_CAPS& out) { out = ToButtonCaps(r); }
void Convert(const Record& r, HIDP_VALUE_CAPS& out) { out = r.caps; }

// Copies the caps of the button (or value) records that match the filters
// (0 = any) into `out`, up to the capacity in *length; *length becomes the
// number of matches.
template <typename Caps>
NTSTATUS CopyMatching(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage, Caps* out,
                      USHORT* length, PHIDP_PREPARSED_DATA pp) {
  constexpr bool wantButtons = std::is_same_v<Caps, HIDP_BUTTON_CAPS>;
  const detail::ReportTypeModel& t = pp->types[type];
  const Record* records = pp->Records(t);
  const USHORT capacity = out == nullptr ? 0 : *length;
  uint32_t matches = 0;
  for (uint32_t i = 0; i < t.records.count; ++i) {
    const Record& r = records[i];
    const HIDP_VALUE_CAPS& c = r.caps;
    if (r.isButton != wantButtons) continue;
    if (usagePage != 0 && c.UsagePage != usagePage) continue;
    if (linkCollection != 0 && c.LinkCollection != linkCollection) continue;
    if (usage != 0 && (usage < c.Range.UsageMin || usage > c.Range.UsageMax)) continue;
    if (matches < capacity) Convert(r, out[matches]);
    ++matches;
  }
  if (out == nullptr && *length != 0 && matches != 0) {
    *length = static_cast<USHORT>(matches);
    return HIDP_STATUS_NULL;
  }
  *length = static_cast<USHORT>(matches);
  if (matches == 0) return HIDP_STATUS_USAGE_NOT_FOUND;
  return matches > capacity ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

template <typename Caps>
NTSTATUS SpecificCaps(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage, Caps* caps,
                      USHORT* length, PHIDP_PREPARSED_DATA pp) {
  if (!IsValid(pp)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (!IsValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
  if (length == nullptr) return HIDP_STATUS_NULL;
  return CopyMatching(type, usagePage, linkCollection, usage, caps, length, pp);
}

}  // namespace

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA pp, HIDP_CAPS* caps) {
  if (!IsValid(pp)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (caps == nullptr) return HIDP_STATUS_NULL;
  *caps = pp->caps;
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetLinkCollectionNodes(HIDP_LINK_COLLECTION_NODE* nodes, ULONG* length, PHIDP_PREPARSED_DATA pp) {
  if (!IsValid(pp)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (length == nullptr) return HIDP_STATUS_NULL;
  const auto count = static_cast<ULONG>(pp->nodes.size());
  if (*length < count) {
    *length = count;
    return HIDP_STATUS_BUFFER_TOO_SMALL;
  }
  if (nodes == nullptr) return HIDP_STATUS_NULL;
  std::memcpy(static_cast<void*>(nodes), pp->nodes.data(), count * sizeof(HIDP_LINK_COLLECTION_NODE));
  *length = count;
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                                    HIDP_BUTTON_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return SpecificCaps(type, usagePage, linkCollection, usage, caps, length, pp);
}

NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                                   HIDP_VALUE_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return SpecificCaps(type, usagePage, linkCollection, usage, caps, length, pp);
}

NTSTATUS HidP_GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return HidP_GetSpecificButtonCaps(type, 0, 0, 0, caps, length, pp);
}

NTSTATUS HidP_GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return HidP_GetSpecificValueCaps(type, 0, 0, 0, caps, length, pp);
}

ULONG HidP_MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage, PHIDP_PREPARSED_DATA pp) {
  if (!IsValid(pp) || !IsValidType(type)) return 0;
  const detail::ReportTypeModel& t = pp->types[type];
  const Record* records = pp->Records(t);
  const uint32_t* buttons = pp->Index(t.buttonRecords);
  ULONG total = 0;
  for (uint32_t i = 0; i < t.buttonRecords.count; ++i) {
    const Record& r = records[buttons[i]];
    if (usagePage == 0 || r.caps.UsagePage == usagePage) total += r.fieldCount;
  }
  return total;
}

std::vector<ReportLength> GetReportLengths(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA pp) {
  std::vector<ReportLength> out;
  if (!IsValid(pp) || !IsValidType(type)) return out;
  const detail::ReportTypeModel& t = pp->types[type];
  out.reserve(t.reports.count);
  for (uint32_t i = 0; i < t.reports.count; ++i) out.push_back(pp->Reports(t)[i].length);
  return out;
}

USHORT GetReportByteLength(HIDP_REPORT_TYPE type, UCHAR reportId, PHIDP_PREPARSED_DATA pp) {
  if (!IsValid(pp) || !IsValidType(type)) return 0;
  const detail::ReportEntry* e = pp->FindReport(pp->types[type], reportId);
  return e ? e->length.ByteLength : 0;
}

}  // namespace hid
