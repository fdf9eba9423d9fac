// Listing items and converting path text.
#include <cstring>

#include "device_table.h"
#include "error_codes.h"
#include "exports.h"
#include "item_model.h"
#include "item_path.h"

using namespace tandril;

extern "C" {

int32_t TANDRIL_CALL GetItemByIndex(uint32_t handle, uint16_t index, char* path,
                                    uint16_t* pathSize, ItemInfo* info) {
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  if (!pathSize || !info || (!path && *pathSize > 0)) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  const Item* item = ItemAtIndex(*device, index);
  if (!item) return 0;
  const auto text = FormatPath(PathOfItem(*item));
  if (!text) {
    hidhost::SetLastError(kErrorFilenameTooLong);
    return 0;
  }
  const size_t needed = text->size() + 1;
  if (*pathSize < needed) {
    hidhost::SetLastError(hidhost::kErrorInsufficientBuffer);
    *pathSize = static_cast<uint16_t>(needed);
    return 0;
  }
  std::memcpy(path, text->c_str(), needed);
  info->Units = item->units;
  info->UnitExponent = static_cast<uint16_t>(item->unitExponent & 0xFF);
  info->LogicalMinimum = item->logicalMin;
  info->LogicalMaximum = item->logicalMax;
  info->Flags = (info->Flags & ~0xFFu) | (item->flags & 0xFFu);
  info->ReportID = item->reportId;
  return 1;
}

int32_t TANDRIL_CALL ConvertItemPath(uint32_t handle, char* path) {
  if (handle == 0 || !path) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return 0;
  }
  HIDDevice* device = DeviceTable::Instance().Lookup(handle);
  if (!device) return 0;
  const auto parsed = ParsePathOrReport(path);
  if (!parsed) return 0;
  // Input items first: a path that names both an input and a feature item
  // converts to the input item's report.
  ItemPath resolved = *parsed;
  if (!ResolvePath(*device, resolved, KindMask::Input)) {
    resolved = *parsed;
    if (!ResolvePath(*device, resolved, KindMask::All)) return 0;
  }
  const auto text = FormatPath(resolved);
  if (!text || text->size() > std::strlen(path)) {
    hidhost::SetLastError(hidhost::kErrorInsufficientBuffer);
    return 0;
  }
  std::memcpy(path, text->c_str(), text->size() + 1);
  return 1;
}

}  // extern "C"
