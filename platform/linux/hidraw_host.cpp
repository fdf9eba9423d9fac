#include "hidraw_host.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "hidhost/os_services.h"
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

std::optional<std::vector<uint8_t>> ReadDescriptor(int fd) {
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0) return std::nullopt;
  if (size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
    errno = EIO;
    return std::nullopt;
  }
  auto descriptor = std::make_unique<hidraw_report_descriptor>();
  descriptor->size = static_cast<uint32_t>(size);
  if (::ioctl(fd, HIDIOCGRDESC, descriptor.get()) < 0) return std::nullopt;
  return std::vector<uint8_t>(descriptor->value, descriptor->value + size);
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
  std::vector<std::shared_ptr<const NodeInfo>> nodes;
  if (!catalog_.List(&nodes)) return false;
  paths->clear();
  for (const auto& node : nodes) {
    for (size_t i = 0; i < node->collectionCount; ++i) {
      paths->push_back(FormatInterfacePath(devRoot_, node->name, i, node->collectionCount));
    }
  }
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

  const int fd = OpenNode(devRoot_ + "/" + name, access);
  if (fd < 0) return FailOpen(ErrorFromErrno(errno));
  auto bytes = ReadDescriptor(fd);
  if (!bytes) {
    const int err = errno;
    ::close(fd);
    return FailOpen(ErrorFromErrno(err));
  }
  auto descriptor = catalog_.Parsed(*node, std::move(*bytes));
  if (!descriptor->ok()) {
    ::close(fd);
    return FailOpen(kErrorGenFailure);
  }
  // Only the exact path that enumeration gives names an interface.
  const size_t count = std::min(descriptor->parse.collections.size(), kMaxCollectionsPerNode);
  if (collection >= count || path != FormatInterfacePath(devRoot_, name, collection, count)) {
    ::close(fd);
    return FailOpen(kErrorFileNotFound);
  }
  const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    const int err = errno;
    ::close(fd);
    return FailOpen(ErrorFromErrno(err));
  }
  return std::make_unique<HidrawDevice>(fd, wakeFd, access, std::move(node),
                                        std::move(descriptor), collection);
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
