// Event notification: the callback, its context and the notification mask.
#include "device_table.h"
#include "event_worker.h"
#include "exports.h"

using namespace tandril;

extern "C" {

int32_t TANDRIL_CALL SetEventHandler(uint32_t handle, EventCallback callback, uintptr_t context) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  // The handler goes in before the worker starts, so that the events of the
  // very first report reach it.
  SetHandler(*device, callback, context);
  return StartEventWorker(*device) ? 1 : 0;
}

int32_t TANDRIL_CALL SetEventNotificationMask(uint32_t handle, uint32_t mask) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  SetMask(*device, mask);
  return 1;
}

}  // extern "C"
