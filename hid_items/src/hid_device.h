// The objects behind a device handle: one HIDDevice per open device, its
// collection tree (CollectionNode) and its items (Item).
//
// Threads: everything here is built by OpenHIDDevice and read-only after
// that, except Item::value and Item::valid, which the event worker writes
// while GetItemValue reads them (hence atomic), and the stored feature
// reports and the platform device's requests, which the event callback and
// the client's thread may both reach: HIDDevice::requestMutex guards them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "hidhost/hidp.h"
#include "hidhost/host.h"

namespace tandril {

// Report IDs 0 to 254 have per-report entries (input item lists, feature
// report buffers). Items of report ID 255 stay in the tree but have none.
constexpr size_t kReportIdCount = 255;

enum class ItemKind : uint8_t {
  FeatureValue = 1,
  FeatureButton = 2,
  InputValue = 3,
  InputButton = 4,
  OutputValue = 5,
  OutputButton = 6,
};

// Bits of Item::flags; the same values as the TANDRIL_FLAG_* constants of
// the public header.
namespace ItemFlags {
constexpr uint32_t Feature = 0x001;
constexpr uint32_t Input = 0x002;
constexpr uint32_t Output = 0x004;
constexpr uint32_t Data = 0x008;
constexpr uint32_t HasString = 0x010;
constexpr uint32_t Numeric = 0x020;
constexpr uint32_t EventSource = 0x040;
constexpr uint32_t Button = 0x080;
constexpr uint32_t Volatile = 0x100;
}  // namespace ItemFlags

// Kind filters of FindItem and ResolvePath: one bit per report type.
namespace KindMask {
constexpr uint32_t Feature = 1;
constexpr uint32_t Input = 2;
constexpr uint32_t Output = 4;
constexpr uint32_t Readable = Feature | Input;
constexpr uint32_t Writable = Feature | Output;
constexpr uint32_t All = Feature | Input | Output;
}  // namespace KindMask

uint32_t KindBit(ItemKind kind);
bool IsButtonKind(ItemKind kind);
hid::HIDP_REPORT_TYPE ReportTypeOf(ItemKind kind);

struct HIDDevice;
struct CollectionNode;

// One capability record of the device, button or value, of one report type.
struct Item {
  ItemKind kind = ItemKind::FeatureValue;
  const hid::HIDP_VALUE_CAPS* valueCaps = nullptr;    // value kinds
  const hid::HIDP_BUTTON_CAPS* buttonCaps = nullptr;  // button kinds
  uint32_t units = 0;
  uint16_t unitExponent = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  uint16_t linkCollection = 0;
  uint16_t reportId = 0;
  uint8_t usage = 0;        // the low 8 bits: what path text names the item by
  uint16_t fullUsage = 0;   // the whole usage: what the report model is asked for
  uint16_t usagePage = 0;
  uint16_t bitField = 0;
  uint16_t stringIndex = 0;
  uint32_t flags = 0;
  std::atomic<int32_t> value{0};
  std::atomic<bool> valid{false};
  HIDDevice* owner = nullptr;
  CollectionNode* node = nullptr;
};

struct CollectionNode {
  uint8_t usage = 0;  // low 8 bits of LinkUsage
  uint16_t usagePage = 0;
  uint16_t index = 0;  // position in the platform's link-collection array
  CollectionNode* parent = nullptr;
  std::vector<Item*> items;
  std::vector<CollectionNode*> children;
  uint16_t depth = 0;  // 0 for node 0
};

// The last feature report fetched for one report ID.
struct FeatureReport {
  std::vector<uint8_t> bytes;  // feature report length + 1, zero-filled at first
  bool fetched = false;
};

// State of the event worker and its callback; defined with the worker.
struct EventState;
struct EventStateDeleter {
  // Stops the worker, waits for it to end, then frees the state.
  void operator()(EventState* state) const;
};

struct HIDDevice {
  HIDDevice() = default;
  HIDDevice(const HIDDevice&) = delete;
  HIDDevice& operator=(const HIDDevice&) = delete;

  std::unique_ptr<hidhost::Device> platform;
  hidhost::Access access = hidhost::Access::Query;
  hid::PreparsedPtr preparsed;
  hid::HIDP_CAPS caps{};
  uint16_t usagePage = 0;
  uint16_t usage = 0;

  // Capability lists, indexed by ItemKind - 1.
  std::array<std::vector<hid::HIDP_VALUE_CAPS>, 3> valueCaps;    // feature, input, output
  std::array<std::vector<hid::HIDP_BUTTON_CAPS>, 3> buttonCaps;  // feature, input, output

  // The collection tree: nodes[0] is the root list's only node. Nodes that
  // the tree does not reach stay in the array without items.
  std::vector<CollectionNode> nodes;
  // Every item, in item-index order (depth-first over the tree).
  std::deque<Item> items;

  std::array<std::unique_ptr<std::vector<Item*>>, kReportIdCount> inputItems;

  // Held while featureReports are read or changed and around every request
  // to `platform` except the event worker's input read (which the platform
  // allows on its own thread). Never held while the event callback runs, so
  // the callback may read values while the client's thread does.
  std::mutex requestMutex;
  std::array<std::unique_ptr<FeatureReport>, kReportIdCount> featureReports;

  // Declared last: destroyed first, so the worker ends before anything it
  // reads goes away.
  std::unique_ptr<EventState, EventStateDeleter> events;
};

// Refreshes an input item from the event worker's input report buffer;
// implemented with the worker. Fails while no worker runs.
bool RefreshInputItem(Item& item);

}  // namespace tandril
