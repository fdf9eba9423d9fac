#include "node_catalog.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "hidhost/errors.h"
#include "interface_path.h"
#include "sysfs_files.h"

namespace hidhost::hidraw {

namespace {

std::string ParentDir(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string ResolvedDir(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

uint32_t MinorOf(const std::string& classEntry, const std::string& name) {
  if (auto dev = ReadAttribute(classEntry + "/dev")) {
    const size_t colon = dev->find(':');
    if (colon != std::string::npos) {
      char* end = nullptr;
      const unsigned long minor = std::strtoul(dev->c_str() + colon + 1, &end, 10);
      if (end != dev->c_str() + colon + 1 && *end == '\0' && minor <= UINT32_MAX) {
        return static_cast<uint32_t>(minor);
      }
    }
  }
  return static_cast<uint32_t>(std::strtoul(name.c_str() + 6, nullptr, 10));
}

void ReadUsbParent(const std::string& hidDir, NodeInfo* info) {
  const std::string interfaceDir = ParentDir(hidDir);
  if (!Exists(interfaceDir + "/bInterfaceNumber")) return;
  const std::string usbDir = ParentDir(interfaceDir);
  if (!Exists(usbDir + "/idVendor")) return;
  info->usb = true;
  if (auto bcd = ReadAttribute(usbDir + "/bcdDevice")) {
    char* end = nullptr;
    const unsigned long version = std::strtoul(bcd->c_str(), &end, 16);
    if (end != bcd->c_str() && *end == '\0' && version <= 0xFFFF) {
      info->version = static_cast<uint16_t>(version);
    }
  }
  info->manufacturer = ReadAttribute(usbDir + "/manufacturer");
  info->product = ReadAttribute(usbDir + "/product");
  info->serial = ReadAttribute(usbDir + "/serial");
}

}  // namespace

std::shared_ptr<const ParsedDescriptor> ParseDescriptor(std::vector<uint8_t> bytes) {
  auto parsed = std::make_shared<ParsedDescriptor>();
  parsed->bytes = std::move(bytes);
  parsed->parse = hid::ParseReportDescriptor(parsed->bytes.data(), parsed->bytes.size());
  if (parsed->parse.ok()) {
    parsed->tables = ScanReportTables(parsed->bytes.data(), parsed->bytes.size());
    if (parsed->tables.size() != parsed->parse.collections.size()) {
      parsed->parse.collections.clear();
      parsed->parse.error = "top-level collections do not match the report layout";
    }
  }
  return parsed;
}

NodeCatalog::NodeCatalog(std::string sysRoot) : classDir_(std::move(sysRoot) + "/class/hidraw") {}

std::shared_ptr<const NodeInfo> NodeCatalog::Load(const std::string& name) const {
  auto info = std::make_shared<NodeInfo>();
  info->name = name;
  const std::string entry = classDir_ + "/" + name;
  info->minor = MinorOf(entry, name);
  const std::string hidDir = ResolvedDir(entry + "/device");
  if (auto bytes = ReadFileBytes(hidDir + "/report_descriptor", hid::kMaxDescriptorBytes)) {
    info->descriptor = ParseDescriptor(std::move(*bytes));
    if (info->descriptor->ok()) {
      info->collectionCount =
          std::min(info->descriptor->parse.collections.size(), kMaxCollectionsPerNode);
    }
  }
  if (auto uevent = ReadAttribute(hidDir + "/uevent")) {
    info->hidName = FindKeyValue(*uevent, "HID_NAME");
    info->hidUniq = FindKeyValue(*uevent, "HID_UNIQ");
  }
  ReadUsbParent(hidDir, info.get());
  return info;
}

bool NodeCatalog::RefreshLocked() {
  DIR* dir = ::opendir(classDir_.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) {
      entries_.clear();
      ordered_.clear();
      return true;
    }
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  bool changed = false;
  std::map<std::string, Entry> seen;
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (!IsHidrawNodeName(name)) continue;
    auto old = entries_.find(name);
    if (old != entries_.end() && old->second.inode == d->d_ino) {
      seen.emplace(name, std::move(old->second));
    } else {
      seen.emplace(name, Entry{d->d_ino, Load(name), nullptr});
      changed = true;
    }
  }
  ::closedir(dir);
  changed = changed || seen.size() != entries_.size();
  entries_ = std::move(seen);
  if (changed) {
    ordered_.clear();
    for (const auto& [name, entry] : entries_) ordered_.push_back(entry.info);
    std::sort(ordered_.begin(), ordered_.end(), [](const auto& a, const auto& b) {
      return a->minor != b->minor ? a->minor < b->minor : a->name < b->name;
    });
  }
  return true;
}

bool NodeCatalog::List(std::vector<std::shared_ptr<const NodeInfo>>* nodes) {
  std::lock_guard lock(mutex_);
  if (!RefreshLocked()) return false;
  *nodes = ordered_;
  return true;
}

std::shared_ptr<const NodeInfo> NodeCatalog::Find(const std::string& name) {
  std::lock_guard lock(mutex_);
  if (!RefreshLocked()) return nullptr;
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second.info;
}

std::shared_ptr<const ParsedDescriptor> NodeCatalog::Parsed(const NodeInfo& node,
                                                            std::vector<uint8_t> bytes) {
  if (node.descriptor && node.descriptor->bytes == bytes) return node.descriptor;
  std::lock_guard lock(mutex_);
  const auto it = entries_.find(node.name);
  if (it != entries_.end() && it->second.lastRead && it->second.lastRead->bytes == bytes) {
    return it->second.lastRead;
  }
  auto parsed = ParseDescriptor(std::move(bytes));
  if (it != entries_.end() && it->second.info.get() == &node) it->second.lastRead = parsed;
  return parsed;
}

}  // namespace hidhost::hidraw
