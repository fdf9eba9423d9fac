/* Compiled as C: the public header must stand on its own in a C program. */
#include <stddef.h>

#include "tandril.h"

size_t c_item_info_layout(size_t *flagsOffset, size_t *reportIdOffset) {
  *flagsOffset = offsetof(ItemInfo, Flags);
  *reportIdOffset = offsetof(ItemInfo, ReportID);
  return sizeof(ItemInfo);
}

/* Lists the first item of the device at position 0 the way a C client does:
 * asks for the size, then fetches the path. Returns the handle's close result
 * or a negative step number on failure. */
int c_first_item(char *path, uint16_t capacity, uint32_t *flags) {
  uint32_t device = OpenHIDDevice(0);
  uint16_t size = 0;
  ItemInfo info = {0};
  EventCallback callback = NULL;
  (void)callback;
  if (device == 0) return -1;
  if (GetItemByIndex(device, 0, NULL, &size, &info) != 0 || GetLastHIDError() != 122) return -2;
  if (size > capacity) return -3;
  if (!GetItemByIndex(device, 0, path, &size, &info)) return -4;
  *flags = info.Flags & (TANDRIL_FLAG_FEATURE | TANDRIL_FLAG_INPUT | TANDRIL_FLAG_OUTPUT);
  return CloseHIDDevice(device);
}
