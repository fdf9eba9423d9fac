// Path text as hiditems reads it before handing it to Tandril: the steps of
// a path, the listed item that a path names, and an ordinal path written
// out with full-width fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tandril.h"

namespace hiditems {

struct PathStep {
  uint32_t page = 0;
  uint32_t usage = 0;
  uint32_t number = 0;
};

// "page:usage:number" steps separated by "&", hexadecimal; none when a step
// does not read as three numbers.
std::optional<std::vector<PathStep>> ParsePathSteps(const std::string& text);

// The item's usage: the low 8 bits of the last step of its path.
std::optional<uint8_t> PathUsage(const std::string& text);

struct ListedItem {
  std::string path;  // canonical
  ItemInfo info{};
};

// The first item, in index order, in the collection that `text` names
// (node indices) with the usage page and usage of its last step, whose flags
// share a bit with `kinds` (TANDRIL_FLAG_FEATURE and the like): the item
// that Tandril reads or writes for that path.
std::optional<ListedItem> FindListedItem(uint32_t device, const std::string& text, uint32_t kinds);

// Each field padded with leading zeros to the canonical width (4, 2 and 4
// digits), so that the canonical path fits where the ordinal one stood.
std::string FullWidthPath(const std::string& text);

}  // namespace hiditems
