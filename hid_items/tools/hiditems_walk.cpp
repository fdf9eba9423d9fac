#include "hiditems_walk.h"

namespace hiditems {
namespace {
constexpr uint32_t kPathTooDeep = 206;  // the path text would be longer than Tandril writes
}

WalkEnd WalkItems(uint32_t device, const std::function<bool(const WalkedItem&)>& visit,
                  uint16_t* failedIndex) {
  for (uint32_t index = 0; index <= UINT16_MAX; ++index) {
    char path[256];
    uint16_t size = sizeof path;
    WalkedItem item;
    item.index = static_cast<uint16_t>(index);
    SetLastHIDError(0);
    if (GetItemByIndex(device, item.index, path, &size, &item.info)) {
      item.path = path;
    } else if (GetLastHIDError() == 0) {
      return WalkEnd::kLastItem;
    } else if (GetLastHIDError() != kPathTooDeep) {
      if (failedIndex != nullptr) *failedIndex = item.index;
      return WalkEnd::kFailed;
    }
    if (!visit(item)) return WalkEnd::kStopped;
  }
  return WalkEnd::kLastItem;
}

}  // namespace hiditems
