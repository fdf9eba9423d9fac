#include "hidraw_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "hidraw_device.h"
#include "interface_path.h"

namespace hidhost::hidraw {

namespace {

// Opens the node. Query access takes whatever the user may have, so that
// the attribute and feature-report requests (which need neither right in
// particular) work on a node the user may only read.
int OpenNode(const std::string& path, Access access) {
  static constexpr int kQueryModes[] = {O_RDWR, O_RDONLY, O_WRONLY};
  int fd = -1;
  for (const int mode : kQueryModes) {
    do {
      fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || access == Access::ReadWrite || (errno != EACCES && errno != EPERM)) break;
  }
  return fd;
}

std::unique_ptr<Device> FailOpen(uint32_t code) {
  SetLastError(code);
  return nullptr;
}

}  // namespace

HidrawHost::HidrawHost(std::shared_ptr<Clock> clock, std::string sysRoot, std::string devRoot)
    : clock_(std::move(clock)),
      sysRoot_(std::move(sysRoot)),
      devRoot_(std::move(devRoot)),
      catalog_(sysRoot_) {}

bool HidrawHost::EnumerateInterfaces(std::vector<std::string>* paths) {
  if (paths == nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  uint64_t generation = 0;
  if (!catalog_.Refresh(&generation)) return false;
  std::lock_guard lock(pathsMutex_);
  if (generation != pathsGeneration_) {
    paths_.clear();
    for (const auto& node : catalog_.Ordered()) {
      for (size_t i = 0; i < node->collectionCount; ++i) {
        paths_.push_back(FormatInterfacePath(devRoot_, node->name, i, node->collectionCount));
      }
    }
    pathsGeneration_ = generation;
  }
  *paths = paths_;
  return true;
}

std::unique_ptr<Device> HidrawHost::Open(const std::string& path, Access access) {
  std::string name;
  size_t collection = 0;
  if (!ParseInterfacePath(devRoot_, path, &name, &collection)) {
    return FailOpen(kErrorFileNotFound);
  }
  auto node = catalog_.Find(name);
  if (!node) return FailOpen(kErrorFileNotFound);

  // Only the exact path that enumeration gives names an interface. Which
  // collections the node has comes from sysfs; only when sysfs shows no
  // descriptor is it read from the node.
  const auto pathFits = [&](size_t collections) {
    const size_t count = std::min(collections, kMaxCollectionsPerNode);
    return collection < count && path == FormatInterfacePath(devRoot_, name, collection, count);
  };
  if (node->descriptor && !pathFits(node->collectionCount)) return FailOpen(kErrorFileNotFound);

  const int fd = OpenNode(devRoot_ + "/" + name, access);
  if (fd < 0) return FailOpen(ErrorFromErrno(errno));
  std::shared_ptr<const ParsedDescriptor> descriptor;
  if (!node->descriptor) {
    auto bytes = HidrawDevice::ReadDescriptor(fd);
    if (!bytes) {
      const int err = errno;
      ::close(fd);
      return FailOpen(ErrorFromErrno(err));
    }
    descriptor = catalog_.Parsed(*node, std::move(*bytes));
    const uint32_t refusal = !descriptor->ok() ? kErrorGenFailure
                             : !pathFits(descriptor->parse.collections.size()) ? kErrorFileNotFound
                                                                                : kErrorSuccess;
    if (refusal != kErrorSuccess) {
      ::close(fd);
      return FailOpen(refusal);
    }
  }
  return std::make_unique<HidrawDevice>(fd, access, std::move(node), collection, catalog_,
                                        std::move(descriptor));
}

}  // namespace hidhost::hidraw
