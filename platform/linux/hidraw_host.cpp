#include "hidraw_host.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "hidhost/os_services.h"
#include "hidraw_device.h"
#include "interface_path.h"

namespace hidhost::hidraw {

namespace {

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
  if ((node->descriptor || access == Access::Query) && !pathFits(node->collectionCount)) {
    return FailOpen(kErrorFileNotFound);
  }
  std::string nodePath = devRoot_ + "/" + name;
  // A query takes what it needs from sysfs, which every user may read, so
  // that keyboards and mice whose nodes belong to root answer it as readers
  // do; the node is opened only if a feature report is asked for.
  if (access == Access::Query) {
    auto descriptor = node->descriptor;
    return std::make_unique<HidrawDevice>(-1, access, std::move(node), collection, catalog_,
                                          std::move(descriptor), std::move(nodePath));
  }

  const int fd = HidrawDevice::OpenNode(nodePath, access);
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
                                        std::move(descriptor), std::move(nodePath));
}

void HidrawHost::SetKeyboardSink(KeyboardSink sink) {
  std::lock_guard lock(sinkMutex_);
  sink_ = std::move(sink);
}

bool HidrawHost::StartProgram(const std::string& name) {
  return StartProgramByName(name);
}

bool HidrawHost::CapsLockOn() { return CapsLockFromLeds(sysRoot_ + "/class/leds"); }

}  // namespace hidhost::hidraw
