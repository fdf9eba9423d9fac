/* A C client of Tandril.dll: compiled with nothing but tandril.h and linked
 * through the import library, as a Windows program links the library. Lists
 * the identity of every interface the host has; with an argument, fails when
 * there is none. */
#include <stdio.h>
#include <windows.h>

#include "tandril.h"

static int32_t TANDRIL_CALL OnEvent(uintptr_t context, uint32_t code) {
  (void)context;
  (void)code;
  return 0;
}

int main(int argc, char **argv) {
  HIDDeviceAttributes attributes;
  uint16_t position = 0;
  while (EnumHIDDevices(position, &attributes)) {
    uint32_t device = OpenHIDDevice(position);
    wchar_t product[128] = L"";
    if (device != 0) {
      GetProductString(device, product, sizeof product);
      SetEventHandler(device, OnEvent, 0);
      SetEventNotificationMask(device, 0);
      CloseHIDDevice(device);
    }
    printf("%u: %04X:%04X %ls\n", position, attributes.VendorID, attributes.ProductID, product);
    ++position;
  }
  (void)argv;
  if (argc > 1 && position == 0) return 4;
  /* The library's codes are the thread's own last-error code. */
  SetLastHIDError(ERROR_INVALID_PARAMETER);
  if (GetLastError() != ERROR_INVALID_PARAMETER || GetLastHIDError() != ERROR_INVALID_PARAMETER) return 2;
  {
    char path[64];
    uint16_t size = sizeof path;
    ItemInfo info;
    int32_t value = 0;
    wchar_t text[8];
    (void)GetItemByIndex(0, 0, path, &size, &info);
    (void)ConvertItemPath(0, path);
    (void)GetItemValue(0, "1:1:0", &value);
    (void)SetItemValue(0, "1:1:0", 0);
    (void)GetItemString(0, "1:1:0", text, sizeof text);
    (void)GetManufacturerString(0, text, sizeof text);
    (void)GetSerialNumberString(0, text, sizeof text);
  }
  return GetLastError() == ERROR_INVALID_PARAMETER ? 0 : 3;
}
