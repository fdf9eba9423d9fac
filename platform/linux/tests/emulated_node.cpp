#define FUSE_USE_VERSION 35
#include "emulated_node.h"

#include <fcntl.h>
#include <fuse.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "emulated_sysfs.h"
#include "text/wide_text.h"

namespace hidhost::hidraw::testing {

namespace {
constexpr size_t kQueueLimit = 64;  // reports queued per open file, as hidraw keeps

int CopyText(const std::string& text, void* data, size_t size) {
  const size_t n = std::min(text.size() + 1, size);
  std::memcpy(data, text.c_str(), n);
  return static_cast<int>(n);
}
}  // namespace

EmulatedNode::EmulatedNode(NodeSetup setup) : setup_(std::move(setup)) {
  pump_ = std::thread([this] { Pump(); });
}

EmulatedNode::~EmulatedNode() {
  Shutdown();
  if (pump_.joinable()) pump_.join();
  std::lock_guard lock(mutex_);
  for (auto& [handle, file] : files_) {
    if (file.poller) fuse_pollhandle_destroy(file.poller);
  }
}

int EmulatedNode::Errno(uint32_t code) {
  switch (code) {
    case kErrorDeviceNotConnected: return -ENODEV;
    // hidraw checks no report ID: the device refuses one it does not have,
    // as it refuses any request (USB: a stall).
    case kErrorInvalidParameter:
    case kErrorGenFailure: return -EPIPE;
    default: return -EIO;
  }
}

bool EmulatedNode::GoneLocked() const { return gone_ || !setup_.model->Present(); }

bool EmulatedNode::Gone() const {
  std::lock_guard lock(mutex_);
  return GoneLocked();
}

void EmulatedNode::NotifyLocked() {
  for (auto& [handle, file] : files_) {
    if (file.poller) {
      fuse_notify_poll(file.poller);
      fuse_pollhandle_destroy(file.poller);
      file.poller = nullptr;
    }
  }
  changed_.notify_all();
}

int EmulatedNode::Open(int flags, uint64_t* handle) {
  std::lock_guard lock(mutex_);
  if (GoneLocked()) return -ENOENT;
  const int mode = flags & O_ACCMODE;
  const bool reads = mode == O_RDONLY || mode == O_RDWR;
  const bool writes = mode == O_WRONLY || mode == O_RDWR;
  if ((reads && !setup_.mayRead) || (writes && !setup_.mayWrite)) return -EACCES;
  *handle = nextHandle_++;
  files_[*handle].readable = reads;
  return 0;
}

void EmulatedNode::Release(uint64_t handle) {
  std::lock_guard lock(mutex_);
  auto it = files_.find(handle);
  if (it == files_.end()) return;
  if (it->second.poller) fuse_pollhandle_destroy(it->second.poller);
  files_.erase(it);
  changed_.notify_all();
}

int EmulatedNode::Read(uint64_t handle, char* buffer, size_t size, bool nonBlocking) {
  std::unique_lock lock(mutex_);
  for (;;) {
    auto it = files_.find(handle);
    if (it == files_.end() || !it->second.readable) return -EBADF;
    OpenFile& file = it->second;
    if (!file.queue.empty()) {
      const std::vector<uint8_t> report = std::move(file.queue.front());
      file.queue.pop_front();
      const size_t n = std::min(size, report.size());  // the tail is dropped, as hidraw does
      std::memcpy(buffer, report.data(), n);
      return static_cast<int>(n);
    }
    if (GoneLocked()) return -EIO;
    if (stopping_) return -EINTR;
    wantInput_ = true;
    if (nonBlocking) {
      changed_.notify_all();  // the report then comes for the next read
      return -EAGAIN;
    }
    changed_.notify_all();
    changed_.wait(lock);
  }
}

int EmulatedNode::Write(uint64_t, const char* buffer, size_t size) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(buffer);
  {
    std::lock_guard lock(mutex_);
    if (GoneLocked()) return -ENODEV;
    requests_.push_back("WRITE len " + std::to_string(size));
  }
  if (size < 2) return -EINVAL;
  const uint32_t code = setup_.model->WriteOutput(bytes, size);
  return code == kErrorSuccess ? static_cast<int>(size) : Errno(code);
}

int EmulatedNode::Ioctl(uint64_t, unsigned int command, void* data) {
  if (_IOC_TYPE(command) != 'H') return -ENOTTY;
  const size_t size = _IOC_SIZE(command);
  const sim::DeviceDefinition& definition = setup_.model->definition();
  {
    std::lock_guard lock(mutex_);
    if (GoneLocked()) return -ENODEV;
  }
  switch (_IOC_NR(command)) {
    case _IOC_NR(HIDIOCGRDESCSIZE):
      *static_cast<int*>(data) = static_cast<int>(definition.reportDescriptor.size());
      return 0;
    case _IOC_NR(HIDIOCGRDESC): {
      // HIDIOCGRDESC is an _IOR request: FUSE copies nothing in, so the
      // caller's size field never arrives here. The whole descriptor goes
      // back, and its size with it.
      auto* descriptor = static_cast<hidraw_report_descriptor*>(data);
      const size_t n = std::min<size_t>(definition.reportDescriptor.size(), HID_MAX_DESCRIPTOR_SIZE);
      descriptor->size = static_cast<uint32_t>(n);
      std::memcpy(descriptor->value, definition.reportDescriptor.data(), n);
      return 0;
    }
    case _IOC_NR(HIDIOCGRAWINFO): {
      auto* info = static_cast<hidraw_devinfo*>(data);
      info->bustype = setup_.usb ? 0x03 : 0x06;
      info->vendor = static_cast<int16_t>(definition.attributes.VendorID);
      info->product = static_cast<int16_t>(definition.attributes.ProductID);
      return 0;
    }
    case _IOC_NR(HIDIOCGRAWNAME(0)):
      return CopyText(HidName(definition), data, size);
    case _IOC_NR(HIDIOCGRAWUNIQ(0)):
      return CopyText(definition.serial ? Utf8FromWide(*definition.serial) : "", data, size);
    case _IOC_NR(HIDIOCSFEATURE(0)): {
      {
        std::lock_guard lock(mutex_);
        requests_.push_back("SET_FEATURE len " + std::to_string(size));
      }
      if (size < 2) return -EINVAL;
      const uint32_t code = setup_.model->SetFeature(static_cast<const uint8_t*>(data), size);
      return code == kErrorSuccess ? static_cast<int>(size) : Errno(code);
    }
    case _IOC_NR(HIDIOCGFEATURE(0)): {
      auto* bytes = static_cast<uint8_t*>(data);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back("GET_FEATURE len " + std::to_string(size));
      }
      if (size < 2) return -EINVAL;
      std::vector<uint8_t> report;
      const uint32_t code = setup_.model->GetFeature(bytes[0], &report);
      if (code != kErrorSuccess) return Errno(code);
      const size_t n = std::min(size, report.size());
      std::memcpy(bytes, report.data(), n);
      return static_cast<int>(n);
    }
    default:
      return -ENOTTY;
  }
}

unsigned EmulatedNode::Poll(uint64_t handle, fuse_pollhandle* ph) {
  std::lock_guard lock(mutex_);
  auto it = files_.find(handle);
  if (it == files_.end()) {
    if (ph) fuse_pollhandle_destroy(ph);
    return POLLNVAL;
  }
  OpenFile& file = it->second;
  unsigned events = POLLOUT;
  if (!file.queue.empty()) events |= POLLIN;
  if (GoneLocked()) events |= POLLERR | POLLHUP;
  if (ph) {
    if (file.poller) fuse_pollhandle_destroy(file.poller);
    file.poller = ph;
  }
  if ((events & (POLLIN | POLLHUP)) == 0 && file.readable) {
    wantInput_ = true;
    changed_.notify_all();
  }
  return events;
}

void EmulatedNode::Pump() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || (wantInput_ && !gone_); });
    if (stopping_) return;
    lock.unlock();
    std::vector<uint8_t> report;
    const uint32_t code = setup_.model->ReadInput(&report, pumpCancel_);
    lock.lock();
    if (code == kErrorSuccess && !report.empty()) {
      // hidraw hands out the report as the device sent it: without the ID
      // byte when the device uses no report IDs.
      std::vector<uint8_t> raw = setup_.model->usesReportIds()
                                     ? report
                                     : std::vector<uint8_t>(report.begin() + 1, report.end());
      for (auto& [handle, file] : files_) {
        if (file.readable && file.queue.size() < kQueueLimit) file.queue.push_back(raw);
      }
      wantInput_ = false;
    } else if (code == kErrorDeviceNotConnected) {
      gone_ = true;
    } else if (code == kErrorOperationAborted) {
      wantInput_ = false;
    }
    NotifyLocked();
  }
}

void EmulatedNode::Unplug() {
  std::lock_guard lock(mutex_);
  gone_ = true;
  CancelPumpLocked();
}

void EmulatedNode::Shutdown() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  CancelPumpLocked();
}

void EmulatedNode::CancelPumpLocked() {
  pumpCancel_ = true;
  setup_.model->WakeReaders();
  NotifyLocked();
}

bool EmulatedNode::WaitForWaitingPoller(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
    for (const auto& [handle, file] : files_) {
      if (file.poller && file.queue.empty()) return true;
    }
    return false;
  });
}

std::vector<std::string> EmulatedNode::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

size_t EmulatedNode::OpenFiles() const {
  std::lock_guard lock(mutex_);
  return files_.size();
}

}  // namespace hidhost::hidraw::testing
