// Enumeration, open and close, and the last-error code.
#include <memory>
#include <vector>

#include "device_table.h"
#include "event_worker.h"
#include "exports.h"
#include "item_model.h"

using namespace tandril;

namespace {

// Reads the report model of a freshly opened device and builds its items.
// On failure the code is left as the platform left it.
bool InitialiseDevice(HIDDevice& d) {
  d.preparsed = d.platform->GetPreparsedData();
  if (!d.preparsed) return false;
  if (hid::HidP_GetCaps(d.preparsed.get(), &d.caps) != hid::HIDP_STATUS_SUCCESS) return false;
  d.usagePage = d.caps.UsagePage;
  d.usage = d.caps.Usage;

  std::vector<hid::HIDP_LINK_COLLECTION_NODE> nodes(d.caps.NumberLinkCollectionNodes);
  hid::ULONG count = static_cast<hid::ULONG>(nodes.size());
  if (hid::HidP_GetLinkCollectionNodes(nodes.data(), &count, d.preparsed.get()) !=
      hid::HIDP_STATUS_SUCCESS) {
    return false;
  }
  // A model without its top-level collection has nothing to hang items on.
  if (count == 0 || count > nodes.size()) return false;
  BuildItemModel(d, nodes.data(), count);
  return true;
}

}  // namespace

extern "C" {

int32_t TANDRIL_CALL EnumHIDDevices(uint16_t position, HIDDeviceAttributes* attributes) {
  if (!attributes) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  hidhost::Attributes found;
  for (uint32_t i = 0; i <= position; ++i) {
    auto device = OpenDeviceAtPosition(i, hidhost::Access::Query);
    if (!device) {
      hidhost::SetLastError(hidhost::kErrorNoMoreDevices);
      return 0;
    }
    if (!device->GetAttributes(&found)) return 0;
  }
  attributes->VendorID = found.VendorID;
  attributes->ProductID = found.ProductID;
  attributes->VersionNumber = found.VersionNumber;
  return 1;
}

uint32_t TANDRIL_CALL OpenHIDDevice(uint16_t position) {
  DeviceTable& table = DeviceTable::Instance();
  if (position >= kSlotCount) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  if (table.IsOpen(position)) {
    hidhost::SetLastError(hidhost::kErrorBusy);
    return 0;
  }
  // Read access lets the event worker receive input reports and output items
  // be written; a device that refuses it is still opened for queries and
  // feature reports.
  auto device = std::make_unique<HIDDevice>();
  device->access = hidhost::Access::ReadWrite;
  device->platform = OpenDeviceAtPosition(position, hidhost::Access::ReadWrite);
  if (!device->platform && hidhost::GetLastError() == hidhost::kErrorAccessDenied) {
    device->access = hidhost::Access::Query;
    device->platform = OpenDeviceAtPosition(position, hidhost::Access::Query);
  }
  if (!device->platform) return 0;
  if (!InitialiseDevice(*device)) return 0;
  return table.Install(position, std::move(device));
}

int32_t TANDRIL_CALL CloseHIDDevice(uint32_t handle) {
  DeviceTable& table = DeviceTable::Instance();
  if (!table.Lookup(handle)) return 0;
  // Out of the table first, so that no later lookup finds it; then the event
  // worker stops before anything it reads goes. From inside the event
  // callback the device is freed once the callback returns.
  std::unique_ptr<HIDDevice> device = table.Remove(handle);
  if (!device) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  DestroyDevice(std::move(device));
  return 1;
}

uint32_t TANDRIL_CALL GetLastHIDError(void) { return hidhost::GetLastError(); }

void TANDRIL_CALL SetLastHIDError(uint32_t code) { hidhost::SetLastError(code); }

}  // extern "C"
