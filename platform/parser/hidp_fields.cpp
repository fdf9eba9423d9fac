// Field access: reading and writing values and reading the active buttons of
// a report buffer.
#include <cstring>

#include "preparsed.h"
#include "report_bits.h"

namespace hid {
namespace {

using detail::IsValid;
using detail::IsValidType;
using detail::Record;
using detail::ReportTypeModel;

const uint8_t* Bytes(const char* report) { return reinterpret_cast<const uint8_t*>(report); }

// The checks every report function makes, in this order.
NTSTATUS CheckReport(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA pp, const void* report, ULONG reportLength) {
  if (reportLength == 0) return HIDP_STATUS_INVALID_REPORT_LENGTH;
  if (!IsValid(pp)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (!IsValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
  if (report == nullptr) return HIDP_STATUS_NULL;
  if (reportLength != pp->types[type].byteLength) return HIDP_STATUS_INVALID_REPORT_LENGTH;
  return HIDP_STATUS_SUCCESS;
}

// The first value record for page/usage (and link collection unless 0) in
// the report with ID `reportId`. Report ID 0 accepts a record of any ID.
NTSTATUS FindValue(PHIDP_PREPARSED_DATA pp, const ReportTypeModel& t, USAGE usagePage, USHORT linkCollection,
                   USAGE usage, uint8_t reportId, const Record** found) {
  constexpr uint32_t kNone = UINT32_MAX;
  const Record* records = pp->Records(t);
  uint32_t best = kNone;
  bool otherId = false;
  auto consider = [&](uint32_t index) {
    const HIDP_VALUE_CAPS& c = records[index].caps;
    if (linkCollection != 0 && c.LinkCollection != linkCollection) return false;
    if (reportId != 0 && c.ReportID != reportId) {
      otherId = true;
      return false;
    }
    best = index;
    return true;
  };
  // Single-usage records: (key, record number) pairs sorted by key, then
  // by record number.
  const uint32_t key = static_cast<uint32_t>(usagePage) << 16 | usage;
  const uint32_t* pairs = pp->Index(t.valuesByUsage);
  uint32_t lo = 0, hi = t.valuesByUsage.count / 2;
  while (lo < hi) {
    const uint32_t mid = (lo + hi) / 2;
    if (pairs[2 * mid] < key) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  for (uint32_t p = lo; p < t.valuesByUsage.count / 2 && pairs[2 * p] == key; ++p) {
    if (consider(pairs[2 * p + 1])) break;
  }
  const uint32_t* ranges = pp->Index(t.valueRanges);
  for (uint32_t i = 0; i < t.valueRanges.count; ++i) {
    const uint32_t index = ranges[i];
    if (index >= best) break;
    const HIDP_VALUE_CAPS& c = records[index].caps;
    if (c.UsagePage != usagePage || usage < c.Range.UsageMin || usage > c.Range.UsageMax) continue;
    if (consider(index)) break;
  }
  if (best != kNone) {
    *found = &records[best];
    return HIDP_STATUS_SUCCESS;
  }
  return otherId ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
}

// The bit position of `usage` in a value record, or false when the record
// has no field for it.
bool ValueBit(const Record& r, USAGE usage, uint32_t& bit) {
  const uint32_t step = r.caps.IsRange ? static_cast<uint32_t>(usage - r.caps.Range.UsageMin) : 0;
  if (step >= r.fieldCount) return false;
  bit = r.bitOffset + step * r.bitSize;
  return true;
}

// Calls `emit(usage, page)` for every active button of the record. Only
// fields inside the report's `length` bytes are read.
template <typename Emit>
void ActiveButtons(const Record& r, const uint8_t* report, uint32_t length, Emit&& emit) {
  const HIDP_VALUE_CAPS& c = r.caps;
  const uint32_t usages = static_cast<uint32_t>(c.Range.UsageMax) - c.Range.UsageMin + 1;
  uint32_t v = 0;
  if (r.isArray) {
    for (uint32_t slot = 0; slot < r.fieldCount; ++slot) {
      if (!detail::ReadBits(report, length, r.bitOffset + slot * r.bitSize, r.bitSize, v)) break;
      if (v == 0 || v < r.arrayIndexFirst || v - r.arrayIndexFirst >= usages) continue;
      emit(static_cast<USAGE>(c.Range.UsageMin + (v - r.arrayIndexFirst)), c.UsagePage);
    }
    return;
  }
  // Variable 1-bit buttons: a range maps its fields to its usages in order;
  // a single usage is read from its first field. A usage without a field of
  // its own is never read.
  const uint32_t fields = usages < r.fieldCount ? usages : r.fieldCount;
  for (uint32_t i = 0; i < fields; ++i) {
    if (!detail::ReadBits(report, length, r.bitOffset + i, 1, v)) break;
    if (v) emit(static_cast<USAGE>(c.Range.UsageMin + i), c.UsagePage);
  }
}

// Walks the button records that apply to the report in `report` and emits
// the active usages on `usagePage` (0 = all pages).
template <typename Emit>
NTSTATUS ForEachActiveButton(PHIDP_PREPARSED_DATA pp, const ReportTypeModel& t, USAGE usagePage,
                             USHORT linkCollection, const uint8_t* report, uint32_t length, Emit&& emit) {
  const Record* records = pp->Records(t);
  const uint8_t reportId = report[0];
  const uint32_t* first = pp->Index(t.buttonRecords);
  const uint32_t* last = first + t.buttonRecords.count;
  if (reportId != 0) {
    const detail::ReportEntry* e = pp->FindReport(t, reportId);
    const uint32_t* byId = pp->Index(t.buttonsById);
    first = byId + (e ? e->buttonsBegin : 0);
    last = byId + (e ? e->buttonsEnd : 0);
  }
  bool any = false;
  for (const uint32_t* p = first; p != last; ++p) {
    const Record& r = records[*p];
    if (usagePage != 0 && r.caps.UsagePage != usagePage) continue;
    if (linkCollection != 0 && r.caps.LinkCollection != linkCollection) continue;
    any = true;
    ActiveButtons(r, report, length, emit);
  }
  if (any) return HIDP_STATUS_SUCCESS;
  // Nothing in this report: say whether the buttons live in another one.
  const uint32_t* all = pp->Index(t.buttonRecords);
  for (uint32_t i = 0; i < t.buttonRecords.count; ++i) {
    const HIDP_VALUE_CAPS& c = records[all[i]].caps;
    if ((usagePage == 0 || c.UsagePage == usagePage) && (linkCollection == 0 || c.LinkCollection == linkCollection)) {
      return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
    }
  }
  return HIDP_STATUS_USAGE_NOT_FOUND;
}

// The common part of the usage-list functions: checks, then fills `list` up
// to the capacity in *length with `make(usage, page)` of each active button.
template <typename Entry, typename Make>
NTSTATUS ListActiveButtons(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, Entry* list, ULONG* length,
                           PHIDP_PREPARSED_DATA pp, const char* report, ULONG reportLength, Make make) {
  const NTSTATUS status = CheckReport(type, pp, report, reportLength);
  if (status != HIDP_STATUS_SUCCESS) return status;
  if (length == nullptr || (list == nullptr && *length != 0)) return HIDP_STATUS_NULL;
  const ULONG capacity = *length;
  ULONG count = 0;
  const NTSTATUS found =
      ForEachActiveButton(pp, pp->types[type], usagePage, linkCollection, Bytes(report), reportLength, [&](USAGE usage, USAGE page) {
        if (count < capacity) list[count] = make(usage, page);
        ++count;
      });
  if (found != HIDP_STATUS_SUCCESS) return found;
  *length = count;
  return count > capacity ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

}  // namespace

NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                            ULONG* value, PHIDP_PREPARSED_DATA pp, const char* report, ULONG reportLength) {
  NTSTATUS status = CheckReport(type, pp, report, reportLength);
  if (status != HIDP_STATUS_SUCCESS) return status;
  if (value == nullptr) return HIDP_STATUS_NULL;
  const Record* r = nullptr;
  status = FindValue(pp, pp->types[type], usagePage, linkCollection, usage, Bytes(report)[0], &r);
  if (status != HIDP_STATUS_SUCCESS) return status;
  uint32_t bit = 0;
  if (!ValueBit(*r, usage, bit)) return HIDP_STATUS_USAGE_NOT_FOUND;
  if (r->bitSize > 32) return HIDP_STATUS_BUFFER_TOO_SMALL;
  uint32_t raw = 0;
  if (!detail::ReadBits(Bytes(report), reportLength, bit, r->bitSize, raw)) return HIDP_STATUS_INVALID_REPORT_LENGTH;
  *value = raw;
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_SetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                            ULONG value, PHIDP_PREPARSED_DATA pp, char* report, ULONG reportLength) {
  NTSTATUS status = CheckReport(type, pp, report, reportLength);
  if (status != HIDP_STATUS_SUCCESS) return status;
  const Record* r = nullptr;
  auto* bytes = reinterpret_cast<uint8_t*>(report);
  status = FindValue(pp, pp->types[type], usagePage, linkCollection, usage, bytes[0], &r);
  if (status != HIDP_STATUS_SUCCESS) return status;
  uint32_t bit = 0;
  if (!ValueBit(*r, usage, bit)) return HIDP_STATUS_USAGE_NOT_FOUND;
  if (r->bitSize > 32) return HIDP_STATUS_BUFFER_TOO_SMALL;
  if (!detail::WriteBits(bytes, reportLength, bit, r->bitSize, value)) return HIDP_STATUS_INVALID_REPORT_LENGTH;
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetUsagesEx(HIDP_REPORT_TYPE type, USHORT linkCollection, USAGE_AND_PAGE* list, ULONG* length,
                          PHIDP_PREPARSED_DATA pp, const char* report, ULONG reportLength) {
  return ListActiveButtons(type, 0, linkCollection, list, length, pp, report, reportLength,
                           [](USAGE usage, USAGE page) { return USAGE_AND_PAGE{usage, page}; });
}

NTSTATUS HidP_GetUsages(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE* list, ULONG* length,
                        PHIDP_PREPARSED_DATA pp, const char* report, ULONG reportLength) {
  return ListActiveButtons(type, usagePage, linkCollection, list, length, pp, report, reportLength,
                           [](USAGE usage, USAGE) { return usage; });
}

NTSTATUS HidP_InitializeReportForID(HIDP_REPORT_TYPE type, UCHAR reportId, PHIDP_PREPARSED_DATA pp, char* report,
                                    ULONG reportLength) {
  const NTSTATUS status = CheckReport(type, pp, report, reportLength);
  if (status != HIDP_STATUS_SUCCESS) return status;
  const detail::ReportEntry* e = pp->FindReport(pp->types[type], reportId);
  if (e == nullptr || !e->hasRecords) return HIDP_STATUS_REPORT_DOES_NOT_EXIST;
  std::memset(report, 0, reportLength);
  report[0] = static_cast<char>(reportId);
  return HIDP_STATUS_SUCCESS;
}

}  // namespace hid
