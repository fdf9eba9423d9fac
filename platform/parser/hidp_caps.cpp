// Capability queries of the report model.
#include <cstring>

#include "preparsed.h"

namespace hid {
namespace {

using detail::IsValid;
using detail::IsValidType;

// Copies the caps records that match the filters (0 = any) into `out`, up to
// the capacity in *length; *length becomes the number of matches.
template <typename Caps>
NTSTATUS CopyMatching(const std::vector<Caps>& all, USAGE usagePage, USHORT linkCollection, USAGE usage,
                      Caps* out, USHORT* length) {
  const USHORT capacity = out == nullptr ? 0 : *length;
  uint32_t matches = 0;
  for (const Caps& c : all) {
    if (usagePage != 0 && c.UsagePage != usagePage) continue;
    if (linkCollection != 0 && c.LinkCollection != linkCollection) continue;
    if (usage != 0 && (usage < c.Range.UsageMin || usage > c.Range.UsageMax)) continue;
    if (matches < capacity) out[matches] = c;
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
                      USHORT* length, PHIDP_PREPARSED_DATA pp, std::vector<Caps> detail::ReportTypeModel::*list) {
  if (!IsValid(pp)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (!IsValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
  if (length == nullptr) return HIDP_STATUS_NULL;
  return CopyMatching(pp->types[type].*list, usagePage, linkCollection, usage, caps, length);
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
  return SpecificCaps(type, usagePage, linkCollection, usage, caps, length, pp, &detail::ReportTypeModel::buttonCaps);
}

NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                                   HIDP_VALUE_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return SpecificCaps(type, usagePage, linkCollection, usage, caps, length, pp, &detail::ReportTypeModel::valueCaps);
}

NTSTATUS HidP_GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return HidP_GetSpecificButtonCaps(type, 0, 0, 0, caps, length, pp);
}

NTSTATUS HidP_GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, USHORT* length, PHIDP_PREPARSED_DATA pp) {
  return HidP_GetSpecificValueCaps(type, 0, 0, 0, caps, length, pp);
}

ULONG HidP_MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage, PHIDP_PREPARSED_DATA pp) {
  if (!IsValid(pp) || !IsValidType(type)) return 0;
  ULONG total = 0;
  for (const auto& b : pp->types[type].buttonCaps) {
    if (usagePage == 0 || b.UsagePage == usagePage) total += b.ReportCount;
  }
  return total;
}

}  // namespace hid
