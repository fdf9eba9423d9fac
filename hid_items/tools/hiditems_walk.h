// The walk over a device's items by running index, as hiditems lists,
// finds and watches them.
#pragma once

#include <cstdint>
#include <functional>

#include "tandril.h"

namespace hiditems {

struct WalkedItem {
  uint16_t index = 0;
  const char* path = nullptr;  // null when its collection path is too deep to be written
  ItemInfo info{};
};

enum class WalkEnd {
  kLastItem,    // every item was visited
  kStopped,     // the visitor asked to stop
  kFailed,      // an item could not be described; GetLastHIDError() tells why
};

// Visits the device's items in index order until the last one, until
// `visit` returns false, or until an item cannot be described (`failedIndex`
// then names it, when given).
WalkEnd WalkItems(uint32_t device, const std::function<bool(const WalkedItem&)>& visit,
                  uint16_t* failedIndex = nullptr);

}  // namespace hiditems
