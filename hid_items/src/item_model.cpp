#include "item_model.h"

#include <algorithm>
#include <utility>

namespace tandril {

uint32_t KindBit(ItemKind kind) {
  switch (kind) {
    case ItemKind::FeatureValue:
    case ItemKind::FeatureButton: return KindMask::Feature;
    case ItemKind::InputValue:
    case ItemKind::InputButton: return KindMask::Input;
    case ItemKind::OutputValue:
    case ItemKind::OutputButton: return KindMask::Output;
  }
  return 0;
}

bool IsButtonKind(ItemKind kind) {
  return kind == ItemKind::FeatureButton || kind == ItemKind::InputButton ||
         kind == ItemKind::OutputButton;
}

hid::HIDP_REPORT_TYPE ReportTypeOf(ItemKind kind) {
  switch (KindBit(kind)) {
    case KindMask::Input: return hid::HidP_Input;
    case KindMask::Output: return hid::HidP_Output;
    default: return hid::HidP_Feature;
  }
}

namespace {

// Report types in the order of the capability lists (ItemKind order).
constexpr hid::HIDP_REPORT_TYPE kListTypes[3] = {hid::HidP_Feature, hid::HidP_Input,
                                                 hid::HidP_Output};

void ReadCapabilityLists(HIDDevice& d) {
  hid::USHORT* valueCounts[3] = {&d.caps.NumberFeatureValueCaps, &d.caps.NumberInputValueCaps,
                                 &d.caps.NumberOutputValueCaps};
  hid::USHORT* buttonCounts[3] = {&d.caps.NumberFeatureButtonCaps, &d.caps.NumberInputButtonCaps,
                                  &d.caps.NumberOutputButtonCaps};
  for (int t = 0; t < 3; ++t) {
    auto& values = d.valueCaps[t];
    values.resize(*valueCounts[t]);
    hid::USHORT n = static_cast<hid::USHORT>(values.size());
    if (n > 0) {
      hid::HidP_GetSpecificValueCaps(kListTypes[t], 0, 0, 0, values.data(), &n, d.preparsed.get());
    }
    values.resize(std::min<size_t>(n, values.size()));
    *valueCounts[t] = static_cast<hid::USHORT>(values.size());

    auto& buttons = d.buttonCaps[t];
    buttons.resize(*buttonCounts[t]);
    n = static_cast<hid::USHORT>(buttons.size());
    if (n > 0) {
      hid::HidP_GetSpecificButtonCaps(kListTypes[t], 0, 0, 0, buttons.data(), &n,
                                      d.preparsed.get());
    }
    buttons.resize(std::min<size_t>(n, buttons.size()));
    *buttonCounts[t] = static_cast<hid::USHORT>(buttons.size());
  }
}

struct Capability {
  ItemKind kind;
  const void* record;
};

// The capability records of every node, each node's in FindCapability order:
// feature values, feature buttons, input values, input buttons, output
// values, output buttons, each in the platform's record order.
std::vector<std::vector<Capability>> CapabilitiesByNode(const HIDDevice& d, size_t nodeCount) {
  std::vector<std::vector<Capability>> byNode(nodeCount);
  for (int t = 0; t < 3; ++t) {
    const auto valueKind = static_cast<ItemKind>(2 * t + 1);
    const auto buttonKind = static_cast<ItemKind>(2 * t + 2);
    for (const auto& v : d.valueCaps[t]) {
      if (v.LinkCollection < nodeCount) byNode[v.LinkCollection].push_back({valueKind, &v});
    }
    for (const auto& b : d.buttonCaps[t]) {
      if (b.LinkCollection < nodeCount) byNode[b.LinkCollection].push_back({buttonKind, &b});
    }
  }
  return byNode;
}

// The record at ordinal k among those whose link collection is node n.
const Capability* FindCapability(const std::vector<std::vector<Capability>>& byNode, uint16_t n,
                                 uint32_t k) {
  if (n >= byNode.size() || k >= byNode[n].size()) return nullptr;
  return &byNode[n][k];
}

void DescribeItem(Item& item, const Capability& cap) {
  item.kind = cap.kind;
  if (IsButtonKind(cap.kind)) {
    const auto& b = *static_cast<const hid::HIDP_BUTTON_CAPS*>(cap.record);
    item.buttonCaps = &b;
    item.logicalMax = 1;
    item.linkCollection = b.LinkCollection;
    item.reportId = b.ReportID;
    item.fullUsage = b.IsRange ? b.Range.UsageMin : b.NotRange.Usage;
    item.usagePage = b.UsagePage;
    item.bitField = b.BitField;
    item.flags |= ItemFlags::Button;
  } else {
    const auto& v = *static_cast<const hid::HIDP_VALUE_CAPS*>(cap.record);
    item.valueCaps = &v;
    item.units = v.Units;
    item.unitExponent = static_cast<uint16_t>(v.UnitsExp & 0xFFFF);
    item.logicalMin = v.LogicalMin;
    item.logicalMax = v.LogicalMax;
    item.linkCollection = v.LinkCollection;
    item.reportId = v.ReportID;
    item.fullUsage = v.IsRange ? v.Range.UsageMin : v.NotRange.Usage;
    item.usagePage = v.UsagePage;
    item.bitField = v.BitField;
    item.stringIndex = v.IsStringRange ? v.Range.StringMin : v.NotRange.StringIndex;
    item.flags |= item.stringIndex != 0 ? ItemFlags::HasString : ItemFlags::Numeric;
  }
  item.usage = static_cast<uint8_t>(item.fullUsage & 0xFF);

  const uint32_t bit = KindBit(cap.kind);
  const bool constant = (item.bitField & 0x01) != 0;
  const bool isVolatile = (item.bitField & 0x80) != 0;
  if (bit == KindMask::Feature) {
    item.flags |= ItemFlags::Feature;
    if (isVolatile) item.flags |= ItemFlags::Volatile;
  } else if (bit == KindMask::Input) {
    item.flags |= ItemFlags::Input | ItemFlags::EventSource;
  } else {
    item.flags |= ItemFlags::Output;
  }
  if (bit != KindMask::Input && !constant) item.flags |= ItemFlags::Data;
}

void BuildTree(HIDDevice& d, const hid::HIDP_LINK_COLLECTION_NODE* nodes, uint32_t count) {
  d.nodes.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto& n = d.nodes[i];
    n.usage = static_cast<uint8_t>(nodes[i].LinkUsage & 0xFF);
    n.usagePage = nodes[i].LinkUsagePage;
    n.index = static_cast<uint16_t>(i);
  }
  // Children of node n: the nodes i >= 1 whose Parent is n, in ascending i.
  // A node cannot be its own parent, so no cycle is reachable from node 0.
  for (uint32_t i = 1; i < count; ++i) {
    const uint32_t parent = nodes[i].Parent;
    if (parent >= count || parent == i) continue;
    d.nodes[i].parent = &d.nodes[parent];
    d.nodes[parent].children.push_back(&d.nodes[i]);
  }
}

}  // namespace

void BuildItemModel(HIDDevice& d, const hid::HIDP_LINK_COLLECTION_NODE* nodes, uint32_t count) {
  BuildTree(d, nodes, count);
  ReadCapabilityLists(d);
  const auto byNode = CapabilitiesByNode(d, count);

  // Depth-first from node 0: a node's own items, then each child's subtree.
  std::vector<CollectionNode*> stack{&d.nodes[0]};
  while (!stack.empty()) {
    CollectionNode* node = stack.back();
    stack.pop_back();
    if (node->parent) node->depth = static_cast<uint16_t>(node->parent->depth + 1);
    for (uint32_t k = 0;; ++k) {
      const Capability* cap = FindCapability(byNode, node->index, k);
      if (!cap) break;
      Item& item = d.items.emplace_back();
      DescribeItem(item, *cap);
      item.owner = &d;
      item.node = node;
      if (KindBit(item.kind) == KindMask::Input && item.reportId < kReportIdCount) {
        auto& list = d.inputItems[item.reportId];
        if (!list) list = std::make_unique<std::vector<Item*>>();
        list->push_back(&item);
      }
      node->items.push_back(&item);
    }
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) stack.push_back(*it);
  }
}

Item* ItemAtIndex(HIDDevice& d, uint32_t index) {
  return index < d.items.size() ? &d.items[index] : nullptr;
}

}  // namespace tandril
