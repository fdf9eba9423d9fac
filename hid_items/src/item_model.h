// Building the item model of an open device: capability lists, collection
// tree and items.
#pragma once

#include <cstdint>

#include "hid_device.h"

namespace tandril {

// Reads the six capability lists from the device's parsed descriptor and
// builds the collection tree and the items from the `count` link-collection
// nodes. Capability reads that fail leave their list with what the call gave.
// `count` must be at least 1.
void BuildItemModel(HIDDevice& device, const hid::HIDP_LINK_COLLECTION_NODE* nodes, uint32_t count);

// The item with running number `index` over the whole tree, or null.
Item* ItemAtIndex(HIDDevice& device, uint32_t index);

}  // namespace tandril
