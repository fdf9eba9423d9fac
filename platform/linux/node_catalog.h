// What sysfs says about the hidraw nodes, cached per node.
//
// Every listing reads the hidraw class directory again, so a node that
// appears or goes away shows at once; what a node's own files say is kept
// for as long as its directory entry keeps the same inode number (a replugged
// device gets a new entry even when it reuses the node name).
#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hidhost/hidp.h"

namespace hidhost::hidraw {

// A report descriptor with the parser's models (which also know each
// report's own length).
struct ParsedDescriptor {
  std::vector<uint8_t> bytes;
  hid::ParseResult parse;
  bool ok() const { return parse.ok() && !parse.collections.empty(); }
};

std::shared_ptr<const ParsedDescriptor> ParseDescriptor(std::vector<uint8_t> bytes);

struct NodeInfo {
  std::string name;  // "hidraw3"
  uint32_t minor = 0;
  // From the HID device's report_descriptor file; null when unreadable.
  std::shared_ptr<const ParsedDescriptor> descriptor;
  // Interfaces of the node: 1 when sysfs shows no descriptor (the node is
  // asked when opened), 0 when its descriptor is refused.
  size_t collectionCount = 1;
  // Vendor and product from HID_ID in the HID device's uevent.
  bool hasIds = false;
  uint16_t vendorId = 0, productId = 0;
  // The USB device above the HID device, when there is one.
  bool usb = false;
  uint16_t version = 0;  // bcdDevice
  std::optional<std::string> manufacturer, product, serial;
  // The HID device's own identity (uevent HID_NAME, HID_UNIQ).
  std::optional<std::string> hidName, hidUniq;
};

class NodeCatalog {
 public:
  explicit NodeCatalog(std::string sysRoot);
  ~NodeCatalog();
  NodeCatalog(const NodeCatalog&) = delete;
  NodeCatalog& operator=(const NodeCatalog&) = delete;

  // Reads the class directory again. *generation changes whenever the set
  // of nodes does. An absent class directory means no nodes; false (with the
  // last-error code set) only when the directory exists but cannot be read.
  bool Refresh(uint64_t* generation);
  // The nodes of the last refresh in ascending minor order.
  std::vector<std::shared_ptr<const NodeInfo>> Ordered();

  // One present node by name; null when it is not there.
  std::shared_ptr<const NodeInfo> Find(const std::string& name);
  // Whether `node` is still present, and not replaced by another device that
  // took its name.
  bool Holds(const NodeInfo& node);

  // The models of descriptor bytes read from an open node: the cached parse
  // when the bytes match what sysfs said or what was read last time.
  std::shared_ptr<const ParsedDescriptor> Parsed(const NodeInfo& node,
                                                 std::vector<uint8_t> bytes);

 private:
  struct Entry {
    ino_t inode = 0;
    std::shared_ptr<const NodeInfo> info;
    std::shared_ptr<const ParsedDescriptor> lastRead;
  };

  bool ReadNamesLocked(std::vector<std::pair<std::string, ino_t>>* names);
  bool RefreshLocked();
  std::shared_ptr<const NodeInfo> Load(const std::string& name) const;

  std::string classDir_;
  std::mutex mutex_;
  DIR* dir_ = nullptr;
  std::map<std::string, Entry> entries_;
  std::vector<std::pair<std::string, ino_t>> lastNames_;
  std::vector<std::shared_ptr<const NodeInfo>> ordered_;
  uint64_t generation_ = 0;
};

}  // namespace hidhost::hidraw
