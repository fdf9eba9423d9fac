// Event notification and device strings: not available yet. Every export
// here validates its handle and then reports ERROR_CALL_NOT_IMPLEMENTED.
#include "device_table.h"
#include "exports.h"

using namespace tandril;

namespace tandril {

struct EventState {};

void EventStateDeleter::operator()(EventState* state) const { delete state; }

bool RefreshInputItem(Item&) { return false; }

}  // namespace tandril

namespace {

int32_t NotImplemented(uint32_t handle) {
  if (!DeviceTable::Instance().Lookup(handle)) return 0;
  hidhost::SetLastError(hidhost::kErrorCallNotImplemented);
  return 0;
}

}  // namespace

extern "C" {

int32_t TANDRIL_CALL SetEventHandler(uint32_t handle, EventCallback, uintptr_t) {
  return NotImplemented(handle);
}

int32_t TANDRIL_CALL SetEventNotificationMask(uint32_t handle, uint32_t) {
  return NotImplemented(handle);
}

int32_t TANDRIL_CALL GetManufacturerString(uint32_t handle, wchar_t*, uint32_t) {
  return NotImplemented(handle);
}

int32_t TANDRIL_CALL GetProductString(uint32_t handle, wchar_t*, uint32_t) {
  return NotImplemented(handle);
}

int32_t TANDRIL_CALL GetSerialNumberString(uint32_t handle, wchar_t*, uint32_t) {
  return NotImplemented(handle);
}

}  // extern "C"
