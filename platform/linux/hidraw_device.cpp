#include "hidraw_device.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text/wide_text.h"
#include "wide_copy.h"
#include "report_shape.h"

namespace hidhost::hidraw {

namespace {
constexpr size_t kNameLimit = 256;

// A NUL-terminated text from a variable-length hidraw ioctl.
std::optional<std::string> IoctlText(int fd, unsigned long request) {
  char text[kNameLimit] = {};
  if (::ioctl(fd, request, text) < 0) return std::nullopt;
  text[kNameLimit - 1] = '\0';
  return std::string(text);
}
}  // namespace

HidrawDevice::HidrawDevice(int fd, Access access, std::shared_ptr<const NodeInfo> node,
                           size_t collection, NodeCatalog& catalog,
                           std::shared_ptr<const ParsedDescriptor> descriptor,
                           std::string nodePath)
    : fd_(fd),
      nodePath_(std::move(nodePath)),
      access_(access),
      node_(std::move(node)),
      collection_(collection),
      catalog_(catalog),
      descriptor_(std::move(descriptor)) {}

int HidrawDevice::OpenNode(const std::string& path, Access access) {
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

int HidrawDevice::NodeFd() {
  int fd = fd_.load(std::memory_order_acquire);
  if (fd >= 0) return fd;
  std::lock_guard lock(fdMutex_);
  fd = fd_.load(std::memory_order_acquire);
  if (fd >= 0) return fd;
  fd = OpenNode(nodePath_, Access::Query);
  if (fd < 0) {
    // A node that vanished since the interface was opened is a device gone.
    if (errno == ENOENT || errno == ENXIO) FailGone();
    else Fail(errno);
    return -1;
  }
  fd_.store(fd, std::memory_order_release);
  return fd;
}

std::optional<std::vector<uint8_t>> HidrawDevice::ReadDescriptor(int fd) {
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

bool HidrawDevice::LoadModel() {
  std::call_once(modelOnce_, [this] {
    if (!descriptor_) {
      const int fd = NodeFd();
      if (fd < 0) {
        modelError_ = GetLastError();
        return;
      }
      auto bytes = ReadDescriptor(fd);
      if (!bytes) {
        modelError_ = ErrorFromErrno(errno);
        return;
      }
      descriptor_ = catalog_.Parsed(*node_, std::move(*bytes));
    }
    if (!descriptor_->ok() || collection_ >= descriptor_->parse.collections.size()) {
      modelError_ = kErrorGenFailure;  // the node's descriptor no longer fits its path
      return;
    }
    model_ = descriptor_->parse.collections[collection_];
    hid::HidP_GetCaps(model_.get(), &caps_);
  });
  if (model_) return true;
  if (modelError_ == kErrorDeviceNotConnected) gone_ = true;
  SetLastError(modelError_);
  return false;
}

HidrawDevice::~HidrawDevice() {
  CancelRead();
  {
    std::unique_lock lock(readMutex_);
    readDone_.wait(lock, [this] { return readsRunning_ == 0; });
  }
  if (const int fd = fd_.load(); fd >= 0) ::close(fd);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool HidrawDevice::Fail(int err) {
  const uint32_t code = ErrorFromErrno(err);
  if (code == kErrorDeviceNotConnected) gone_ = true;
  SetLastError(code);
  return false;
}

bool HidrawDevice::FailGone() {
  gone_ = true;
  SetLastError(kErrorDeviceNotConnected);
  return false;
}

bool HidrawDevice::CheckPresent() {
  if (gone_) return FailGone();
  const int fd = fd_.load(std::memory_order_acquire);
  if (fd < 0) return catalog_.Holds(*node_) ? true : FailGone();
  hidraw_devinfo info{};
  if (::ioctl(fd, HIDIOCGRAWINFO, &info) < 0) return Fail(errno);
  return true;
}

bool HidrawDevice::GetAttributes(Attributes* out) {
  if (out == nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  if (!CheckPresent()) return false;
  if (!node_->hasIds) {
    SetLastError(kErrorGenFailure);  // the HID device's uevent gives no identity
    return false;
  }
  out->VendorID = node_->vendorId;
  out->ProductID = node_->productId;
  out->VersionNumber = node_->version;
  return true;
}

hid::PreparsedPtr HidrawDevice::GetPreparsedData() {
  if (!CheckPresent() || !LoadModel()) return nullptr;
  return model_;
}

bool HidrawDevice::PrepareRequest(hid::HIDP_REPORT_TYPE type, const uint8_t* report, size_t length,
                                  ReportRequest* request) {
  if (gone_) return FailGone();
  if (!LoadModel()) return false;
  const size_t capsLength = type == hid::HidP_Output ? caps_.OutputReportByteLength
                                                     : caps_.FeatureReportByteLength;
  *request = CheckRequest(model_.get(), descriptor_->parse.usesReportIds, type, capsLength, report,
                          length);
  if (request->error == 0) return true;
  SetLastError(request->error);
  return false;
}

bool HidrawDevice::GetFeature(uint8_t* report, size_t length) {
  ReportRequest request;
  if (!PrepareRequest(hid::HidP_Feature, report, length, &request)) return false;
  const int fd = NodeFd();
  if (fd < 0) return false;
  std::vector<uint8_t> buffer(request.realLength, 0);
  buffer[0] = request.id;
  const int got = ::ioctl(fd, HIDIOCGFEATURE(request.realLength), buffer.data());
  if (got < 0) return Fail(errno);
  const size_t stored = std::min(static_cast<size_t>(got), request.realLength);
  std::memset(report + 1, 0, length - 1);
  if (stored > 1) std::memcpy(report + 1, buffer.data() + 1, stored - 1);
  return true;
}

bool HidrawDevice::SetFeature(const uint8_t* report, size_t length) {
  ReportRequest request;
  if (!PrepareRequest(hid::HidP_Feature, report, length, &request)) return false;
  const int fd = NodeFd();
  if (fd < 0) return false;
  std::vector<uint8_t> buffer(report, report + request.realLength);
  buffer[0] = request.id;
  if (::ioctl(fd, HIDIOCSFEATURE(request.realLength), buffer.data()) < 0) return Fail(errno);
  return true;
}

bool HidrawDevice::WriteOutput(const uint8_t* report, size_t length) {
  if (access_ != Access::ReadWrite) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  ReportRequest request;
  if (!PrepareRequest(hid::HidP_Output, report, length, &request)) return false;
  std::vector<uint8_t> buffer(report, report + request.realLength);
  buffer[0] = request.id;
  ssize_t written;
  do {
    written = ::write(fd_.load(), buffer.data(), buffer.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return Fail(errno);
  if (static_cast<size_t>(written) != buffer.size()) {
    SetLastError(kErrorGenFailure);
    return false;
  }
  return true;
}

bool HidrawDevice::ReadInput(uint8_t* report, size_t length, size_t* received) {
  if (access_ != Access::ReadWrite) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  if (!LoadModel()) return false;
  if (report == nullptr || received == nullptr || caps_.InputReportByteLength == 0 ||
      length < caps_.InputReportByteLength) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  {
    std::lock_guard lock(readMutex_);
    if (cancelled_) {
      SetLastError(kErrorOperationAborted);
      return false;
    }
    if (wakeFd_ < 0) {
      wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
      if (wakeFd_ < 0) return Fail(errno);
    }
    ++readsRunning_;
  }
  const bool ok = ReadLoop(report, received);
  {
    // Notified under the lock: the destructor may run as soon as it sees 0.
    std::lock_guard lock(readMutex_);
    --readsRunning_;
    readDone_.notify_all();
  }
  return ok;
}

bool HidrawDevice::ReadLoop(uint8_t* report, size_t* received) {
  const size_t capsLength = caps_.InputReportByteLength;
  // One byte more than any report of ours, so that an overlong report is seen
  // and cut rather than silently taken as complete.
  rawBuffer_.resize(capsLength + 1);
  const int fd = fd_.load();  // a read-write interface's own, set from the start
  for (;;) {
    if (gone_) return FailGone();
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (cancelled_ || (fds[1].revents & POLLIN) != 0) {
      SetLastError(kErrorOperationAborted);
      return false;
    }
    if ((fds[0].revents & POLLIN) != 0) {
      const ssize_t got = ::read(fd, rawBuffer_.data(), rawBuffer_.size());
      if (got < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return Fail(errno);
      }
      if (NormaliseInput(model_.get(), descriptor_->parse.usesReportIds, capsLength,
                         rawBuffer_.data(), static_cast<size_t>(got), report)) {
        *received = capsLength;
        return true;
      }
      continue;  // a report of another collection of this node
    }
    if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return FailGone();
  }
}

void HidrawDevice::CancelRead() {
  cancelled_ = true;
  // A read that has not yet registered sees the flag; one that has waits on
  // the eventfd, which exists by then.
  std::lock_guard lock(readMutex_);
  if (wakeFd_ < 0) return;
  const uint64_t one = 1;
  ssize_t written;
  do {
    written = ::write(wakeFd_, &one, sizeof one);
  } while (written < 0 && errno == EINTR);
}

bool HidrawDevice::CopyString(const std::optional<std::string>& text, wchar_t* buffer,
                              size_t bytes) {
  if (!text) {
    SetLastError(kErrorGenFailure);
    return false;
  }
  return CopyWideString(WideFromUtf8(*text), buffer, bytes);
}

bool HidrawDevice::GetManufacturerString(wchar_t* buffer, size_t bytes) {
  if (!CheckPresent()) return false;
  return CopyString(node_->manufacturer, buffer, bytes);
}

bool HidrawDevice::GetProductString(wchar_t* buffer, size_t bytes) {
  if (!CheckPresent()) return false;
  if (node_->product || node_->usb) return CopyString(node_->product, buffer, bytes);
  // Bluetooth, I2C and virtual devices: the name the HID driver gives.
  std::optional<std::string> name = node_->hidName;
  const int fd = fd_.load(std::memory_order_acquire);
  if (!name && fd >= 0) name = IoctlText(fd, HIDIOCGRAWNAME(kNameLimit));
  if (name && name->empty()) name.reset();
  return CopyString(name, buffer, bytes);
}

bool HidrawDevice::GetSerialNumberString(wchar_t* buffer, size_t bytes) {
  if (!CheckPresent()) return false;
  if (node_->serial) return CopyString(node_->serial, buffer, bytes);
  std::optional<std::string> uniq = node_->hidUniq;
  const int fd = fd_.load(std::memory_order_acquire);
  if (!uniq && fd >= 0) uniq = IoctlText(fd, HIDIOCGRAWUNIQ(kNameLimit));
  if (uniq && uniq->empty()) uniq.reset();
  return CopyString(uniq, buffer, bytes);
}

bool HidrawDevice::GetIndexedString(uint32_t, wchar_t*, size_t) {
  // hidraw reaches no string descriptor by index.
  SetLastError(kErrorNotSupported);
  return false;
}

}  // namespace hidhost::hidraw
