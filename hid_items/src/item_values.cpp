#include "item_values.h"

#include <algorithm>
#include <vector>

#include "error_codes.h"

namespace tandril {

namespace {

bool Failed(hid::NTSTATUS status) { return status < 0; }

bool RefreshFeatureItem(Item& item) {
  HIDDevice& d = *item.owner;
  if (item.reportId >= kReportIdCount) {
    // The per-report tables stop at report ID 254.
    hidhost::SetLastError(hidhost::kErrorNotSupported);
    return false;
  }
  std::lock_guard<std::mutex> lock(d.requestMutex);
  const uint32_t length = d.caps.FeatureReportByteLength;
  auto& report = d.featureReports[item.reportId];
  if (!report) {
    report = std::make_unique<FeatureReport>();
    report->bytes.assign(length + 1u, 0);
  }
  if ((item.flags & ItemFlags::Volatile) != 0 || !report->fetched) {
    report->bytes[0] = static_cast<uint8_t>(item.reportId);
    if (!d.platform->GetFeature(report->bytes.data(), report->bytes.size())) return false;
    report->fetched = true;
  }
  int32_t value = 0;
  if (item.kind == ItemKind::FeatureValue) {
    hid::ULONG raw = 0;
    const hid::NTSTATUS status = hid::HidP_GetUsageValue(
        hid::HidP_Feature, item.usagePage, item.linkCollection, item.fullUsage, &raw,
        d.preparsed.get(), reinterpret_cast<const char*>(report->bytes.data()), length);
    if (Failed(status)) return false;
    value = static_cast<int32_t>(raw);
  } else if (!ReadButton(item, hid::HidP_Feature, report->bytes.data(), length, &value)) {
    return false;
  }
  item.value.store(value, std::memory_order_relaxed);
  return true;
}

}  // namespace

// Whether the item's button is among the active usages of a report. The
// item's own link collection keeps a button of the same usage elsewhere in
// the tree from counting (link collection 0 means the whole tree).
bool ReadButton(const Item& item, hid::HIDP_REPORT_TYPE type, const uint8_t* report,
                uint32_t length, int32_t* value) {
  const HIDDevice& d = *item.owner;
  const hid::ULONG capacity = hid::HidP_MaxUsageListLength(type, 0, d.preparsed.get());
  std::vector<hid::USAGE_AND_PAGE> list(std::max<hid::ULONG>(capacity, 1));
  hid::ULONG count = capacity;
  const hid::NTSTATUS status =
      hid::HidP_GetUsagesEx(type, item.linkCollection, list.data(), &count, d.preparsed.get(),
                            reinterpret_cast<const char*>(report), length);
  if (Failed(status)) return false;
  count = std::min<hid::ULONG>(count, capacity);
  *value = std::any_of(list.begin(), list.begin() + count, [&](const hid::USAGE_AND_PAGE& u) {
    return u.Usage == item.fullUsage && u.UsagePage == item.usagePage;
  }) ? 1 : 0;
  return true;
}

bool RefreshItem(Item& item) {
  switch (KindBit(item.kind)) {
    case KindMask::Feature: return RefreshFeatureItem(item);
    case KindMask::Input: return RefreshInputItem(item);
    default: return false;
  }
}

bool WriteItem(Item& item, int32_t value) {
  if (KindBit(item.kind) == KindMask::Input) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return false;
  }
  HIDDevice& d = *item.owner;
  const bool output = KindBit(item.kind) == KindMask::Output;
  const hid::HIDP_REPORT_TYPE type = output ? hid::HidP_Output : hid::HidP_Feature;
  const uint32_t length = output ? d.caps.OutputReportByteLength : d.caps.FeatureReportByteLength;

  std::vector<uint8_t> report(length + 1u, 0);
  report[0] = static_cast<uint8_t>(item.reportId);
  const hid::NTSTATUS status = hid::HidP_SetUsageValue(
      type, item.usagePage, item.linkCollection, item.fullUsage, static_cast<hid::ULONG>(value),
      d.preparsed.get(), reinterpret_cast<char*>(report.data()), length);
  if (Failed(status)) return false;
  std::lock_guard<std::mutex> lock(d.requestMutex);
  return output ? d.platform->WriteOutput(report.data(), length)
                : d.platform->SetFeature(report.data(), length);
}

}  // namespace tandril
