// The device's manufacturer, product and serial-number strings.
#include <mutex>

#include "device_table.h"
#include "exports.h"

using namespace tandril;

namespace {

enum class DeviceString { Manufacturer, Product, SerialNumber };

// Looks the handle up and forwards to the platform's request; the buffer
// length in bytes is passed on unchanged.
int32_t ReadDeviceString(uint32_t handle, DeviceString which, wchar_t* buffer, uint32_t length) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  if (!buffer) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  hidhost::Device& platform = *device->platform;
  std::lock_guard<std::mutex> lock(device->requestMutex);
  bool ok = false;
  switch (which) {
    case DeviceString::Manufacturer: ok = platform.GetManufacturerString(buffer, length); break;
    case DeviceString::Product: ok = platform.GetProductString(buffer, length); break;
    case DeviceString::SerialNumber: ok = platform.GetSerialNumberString(buffer, length); break;
  }
  return ok ? 1 : 0;
}

}  // namespace

extern "C" {

int32_t TANDRIL_CALL GetManufacturerString(uint32_t handle, wchar_t* buffer, uint32_t length) {
  return ReadDeviceString(handle, DeviceString::Manufacturer, buffer, length);
}

int32_t TANDRIL_CALL GetProductString(uint32_t handle, wchar_t* buffer, uint32_t length) {
  return ReadDeviceString(handle, DeviceString::Product, buffer, length);
}

int32_t TANDRIL_CALL GetSerialNumberString(uint32_t handle, wchar_t* buffer, uint32_t length) {
  return ReadDeviceString(handle, DeviceString::SerialNumber, buffer, length);
}

}  // extern "C"
