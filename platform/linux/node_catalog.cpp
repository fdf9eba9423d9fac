#include "node_catalog.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

// HID_ID is "bus:vendor:product", each in hexadecimal ("0003:00001C5E:00000200").
void ParseHidId(const std::string& text, NodeInfo* info) {
  unsigned long fields[3] = {};
  const char* p = text.c_str();
  for (int i = 0; i < 3; ++i) {
    char* end = nullptr;
    fields[i] = std::strtoul(p, &end, 16);
    if (end == p || *end != (i < 2 ? ':' : '\0')) return;
    p = end + 1;
  }
  if (fields[1] > 0xFFFF || fields[2] > 0xFFFF) return;
  info->hasIds = true;
  info->vendorId = static_cast<uint16_t>(fields[1]);
  info->productId = static_cast<uint16_t>(fields[2]);
}

}  // namespace

std::shared_ptr<const ParsedDescriptor> ParseDescriptor(std::vector<uint8_t> bytes) {
  auto parsed = std::make_shared<ParsedDescriptor>();
  parsed->bytes = std::move(bytes);
  parsed->parse = hid::ParseReportDescriptor(parsed->bytes.data(), parsed->bytes.size());
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
    // A descriptor the parser refuses gives no interface, as a device whose
    // descriptor cannot be parsed never starts as a HID device on Windows.
    info->collectionCount =
        std::min(info->descriptor->ok() ? info->descriptor->parse.collections.size() : 0,
                 kMaxCollectionsPerNode);
  }
  if (auto uevent = ReadAttribute(hidDir + "/uevent")) {
    info->hidName = FindKeyValue(*uevent, "HID_NAME");
    info->hidUniq = FindKeyValue(*uevent, "HID_UNIQ");
    if (auto id = FindKeyValue(*uevent, "HID_ID")) ParseHidId(*id, info.get());
  }
  ReadUsbParent(hidDir, info.get());
  return info;
}

NodeCatalog::~NodeCatalog() {
  if (dir_ != nullptr) ::closedir(dir_);
}

bool NodeCatalog::ReadNamesLocked(std::vector<std::pair<std::string, ino_t>>* names) {
  // The class directory stays open between listings: rewinding it costs one
  // call where opening it again costs three. A listing that comes out empty
  // opens it afresh, in case the directory itself was replaced.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (dir_ == nullptr) {
      dir_ = ::opendir(classDir_.c_str());
      if (dir_ == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) return true;
        SetLastError(ErrorFromErrno(errno));
        return false;
      }
    } else {
      ::rewinddir(dir_);
    }
    names->clear();
    errno = 0;
    while (const dirent* d = ::readdir(dir_)) {
      if (IsHidrawNodeName(d->d_name)) names->emplace_back(d->d_name, d->d_ino);
    }
    if (errno != 0 || names->empty()) {
      ::closedir(dir_);
      dir_ = nullptr;
      if (attempt == 1 && errno != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
      }
      continue;
    }
    return true;
  }
  return true;
}

bool NodeCatalog::RefreshLocked() {
  std::vector<std::pair<std::string, ino_t>> names;
  if (!ReadNamesLocked(&names)) return false;
  if (names == lastNames_) return true;
  lastNames_ = names;
  bool changed = false;
  std::map<std::string, Entry> seen;
  for (const auto& [name, inode] : names) {
    auto old = entries_.find(name);
    if (old != entries_.end() && old->second.inode == inode) {
      seen.emplace(name, std::move(old->second));
    } else {
      seen.emplace(name, Entry{inode, Load(name), nullptr});
      changed = true;
    }
  }
  changed = changed || seen.size() != entries_.size();
  entries_ = std::move(seen);
  if (changed) {
    ++generation_;
    ordered_.clear();
    for (const auto& [name, entry] : entries_) ordered_.push_back(entry.info);
    std::sort(ordered_.begin(), ordered_.end(), [](const auto& a, const auto& b) {
      return a->minor != b->minor ? a->minor < b->minor : a->name < b->name;
    });
  }
  return true;
}

bool NodeCatalog::Refresh(uint64_t* generation) {
  std::lock_guard lock(mutex_);
  if (!RefreshLocked()) return false;
  *generation = generation_;
  return true;
}

std::vector<std::shared_ptr<const NodeInfo>> NodeCatalog::Ordered() {
  std::lock_guard lock(mutex_);
  return ordered_;
}

std::shared_ptr<const NodeInfo> NodeCatalog::Find(const std::string& name) {
  std::lock_guard lock(mutex_);
  // A node already known is checked by its own entry alone.
  auto it = entries_.find(name);
  struct stat st {};
  if (it != entries_.end() &&
      ::fstatat(AT_FDCWD, (classDir_ + "/" + name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      st.st_ino == it->second.inode) {
    return it->second.info;
  }
  if (!RefreshLocked()) return nullptr;
  it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second.info;
}

bool NodeCatalog::Holds(const NodeInfo& node) { return Find(node.name).get() == &node; }

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
