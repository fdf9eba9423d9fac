#include "item_path.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hidhost/errors.h"

namespace tandril {

namespace {

// One number of a step, as "%x" reads it: blanks, an optional sign and "0x",
// hexadecimal digits. *end is left after the digits.
bool ReadHex(const char* text, const char** end, unsigned long* value) {
  char* stop = nullptr;
  *value = std::strtoul(text, &stop, 16);
  *end = stop;
  return stop != text;
}

// "page:usage:number"; characters after the third number are ignored.
bool ParseStep(const char* piece, PathStep* step) {
  unsigned long page = 0, usage = 0, number = 0;
  const char* p = piece;
  if (!ReadHex(p, &p, &page) || *p != ':') return false;
  if (!ReadHex(p + 1, &p, &usage) || *p != ':') return false;
  if (!ReadHex(p + 1, &p, &number)) return false;
  step->usagePage = static_cast<uint16_t>(page & 0xFFFF);
  step->usage = static_cast<uint8_t>(usage & 0xFF);
  step->number = static_cast<uint16_t>(number & 0xFFFF);
  return true;
}

}  // namespace

std::optional<ItemPath> ParsePath(const char* text) {
  if (!text) return std::nullopt;
  const size_t length = strnlen(text, kMaxPathText + 1);
  if (length > kMaxPathText) return std::nullopt;
  char work[kMaxPathText + 1];
  std::memcpy(work, text, length);
  work[length] = '\0';

  ItemPath path;
  char* cursor = work;
  while (*cursor) {
    while (*cursor == '&') ++cursor;
    if (!*cursor) break;
    char* piece = cursor;
    while (*cursor && *cursor != '&') ++cursor;
    if (*cursor) *cursor++ = '\0';
    PathStep step;
    if (!ParseStep(piece, &step)) return std::nullopt;
    path.push_back(step);
  }
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<ItemPath> ParsePathOrReport(const char* text) {
  auto path = ParsePath(text);
  if (!path) hidhost::SetLastError(hidhost::kErrorPathNotFound);
  return path;
}

std::optional<std::string> FormatPath(const ItemPath& path) {
  const bool endsInItem = !path.empty() && path.back().item != nullptr;
  const size_t collectionSteps = endsInItem ? path.size() : (path.empty() ? 0 : path.size() - 1);
  if (collectionSteps > kMaxFormattedCollectionSteps) return std::nullopt;

  char text[256];
  size_t used = 0;
  auto append = [&](uint16_t page, uint8_t usage, uint16_t number, char separator) {
    used += static_cast<size_t>(std::snprintf(text + used, sizeof text - used, "%04x:%02x:%04x%c",
                                              page, usage, number, separator));
  };
  for (const PathStep& step : path) append(step.usagePage, step.usage, step.number, '&');
  if (endsInItem) {
    const Item& item = *path.back().item;
    append(item.usagePage, item.usage, item.reportId, '&');
  }
  if (used > 0 && text[used - 1] == '&') --used;
  return std::string(text, used);
}

ItemPath PathOfItem(const Item& item) {
  std::vector<const CollectionNode*> chain;
  for (const CollectionNode* n = item.node; n; n = n->parent) chain.push_back(n);
  ItemPath path;
  path.reserve(chain.size());
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path.push_back({(*it)->usagePage, (*it)->usage, (*it)->index, nullptr});
  }
  path.back().item = &item;
  return path;
}

Item* FindItem(HIDDevice& device, const ItemPath& path, uint32_t kindMask) {
  if (path.size() < 2 || device.nodes.empty()) return nullptr;
  const PathStep& itemStep = path.back();

  CollectionNode* root = &device.nodes[0];
  const std::vector<CollectionNode*> rootList{root};
  const std::vector<CollectionNode*>* current = &rootList;
  CollectionNode* node = nullptr;
  for (size_t s = 0; s + 1 < path.size(); ++s) {
    if (!current) continue;  // the node above has no children: the step is passed over
    const PathStep& step = path[s];
    CollectionNode* match = nullptr;
    for (CollectionNode* candidate : *current) {
      if (candidate->usagePage == step.usagePage && candidate->usage == step.usage &&
          candidate->index == step.number) {
        match = candidate;
        break;
      }
    }
    if (!match) return nullptr;
    node = match;
    current = node->children.empty() ? nullptr : &node->children;
  }
  if (!node) return nullptr;
  for (Item* item : node->items) {
    if (item->usage == itemStep.usage && item->usagePage == itemStep.usagePage &&
        (KindBit(item->kind) & kindMask) != 0) {
      return item;
    }
  }
  return nullptr;
}

bool ResolvePath(HIDDevice& device, ItemPath& path, uint32_t kindMask) {
  if (path.size() < 2 || device.nodes.empty()) return false;
  const std::vector<CollectionNode*> rootList{&device.nodes[0]};
  const std::vector<CollectionNode*>* current = &rootList;
  CollectionNode* node = nullptr;
  for (size_t s = 0; s + 1 < path.size(); ++s) {
    if (!current) return false;
    PathStep& step = path[s];
    uint32_t ordinal = step.number;
    CollectionNode* taken = nullptr;
    for (CollectionNode* candidate : *current) {
      if (candidate->usagePage != step.usagePage || candidate->usage != step.usage) continue;
      if (ordinal == 0) {
        taken = candidate;
        break;
      }
      --ordinal;
    }
    if (!taken) return false;
    step.number = taken->index;
    node = taken;
    current = node->children.empty() ? nullptr : &node->children;
  }
  PathStep& itemStep = path.back();
  uint32_t ordinal = itemStep.number;
  for (const Item* item : node->items) {
    if (item->usage != itemStep.usage || item->usagePage != itemStep.usagePage ||
        (KindBit(item->kind) & kindMask) == 0) {
      continue;
    }
    if (ordinal == 0) {
      itemStep.number = item->reportId;
      return true;
    }
    --ordinal;
  }
  return false;
}

}  // namespace tandril
