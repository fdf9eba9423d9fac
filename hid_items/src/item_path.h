// Path text: how clients name items.
//
// A path is steps separated by "&", each "page:usage:number" in hexadecimal.
// Every step but the last names a collection, one per level from node 0
// down; the last names the item by usage page and the low 8 bits of its
// usage. In the canonical form a collection step's number is the node index
// and the item step's number is the item's report ID; in the ordinal form the
// numbers count among siblings with the same usage page and usage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hid_device.h"

namespace tandril {

// Longest path text ParsePath accepts, and the most collection steps
// FormatPath writes (13 characters each, 12 for the item step, 256 in all).
constexpr size_t kMaxPathText = 79;
constexpr size_t kMaxFormattedCollectionSteps = 18;

struct PathStep {
  uint16_t usagePage = 0;
  uint8_t usage = 0;
  uint16_t number = 0;
  const Item* item = nullptr;  // only on the last step of a path made from the tree
};
using ItemPath = std::vector<PathStep>;

// None for no text, text over kMaxPathText characters, no step at all, or a
// step that is not three hexadecimal numbers.
std::optional<ItemPath> ParsePath(const char* text);

// ParsePath, setting ERROR_PATH_NOT_FOUND when the text does not parse.
std::optional<ItemPath> ParsePathOrReport(const char* text);

// The path text, or none when the path has more than 18 collection steps.
std::optional<std::string> FormatPath(const ItemPath& path);

// The path of an item from the tree: one step per node from node 0 down to
// the item's node, the last one referring to the item.
ItemPath PathOfItem(const Item& item);

// The first item of the named collection with the item step's usage page and
// usage whose kind bit is in `kindMask` (KindMask); the item step's number is
// not compared. Collection steps below a node without children are passed
// over.
Item* FindItem(HIDDevice& device, const ItemPath& path, uint32_t kindMask);

// Turns an ordinal path into a canonical one in place: collection numbers
// become node indices, the item number the item's report ID. False when a
// collection or the item is not there.
bool ResolvePath(HIDDevice& device, ItemPath& path, uint32_t kindMask);

}  // namespace tandril
