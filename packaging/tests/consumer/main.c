/* Prints the vendor and product ID of the first HID device. */
#include <stdio.h>
#include <tandril.h>

int main(void) {
  HIDDeviceAttributes attributes;
  if (!EnumHIDDevices(0, &attributes)) return 1;
  printf("%04x %04x\n", attributes.VendorID, attributes.ProductID);
  return 0;
}
