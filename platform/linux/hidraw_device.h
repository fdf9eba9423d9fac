// One open interface of the hidraw backend: one top-level collection of a
// hidraw node, with its own file descriptor on the node.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "hidhost/host.h"
#include "node_catalog.h"

namespace hidhost::hidraw {

class HidrawDevice : public Device {
 public:
  // Takes ownership of `fd` and `wakeFd` (an eventfd that cancels reads).
  HidrawDevice(int fd, int wakeFd, Access access, std::shared_ptr<const NodeInfo> node,
               std::shared_ptr<const ParsedDescriptor> descriptor, size_t collection);
  ~HidrawDevice() override;

  bool GetAttributes(Attributes* out) override;
  hid::PreparsedPtr GetPreparsedData() override;
  bool GetFeature(uint8_t* report, size_t length) override;
  bool SetFeature(const uint8_t* report, size_t length) override;
  bool ReadInput(uint8_t* report, size_t length, size_t* received) override;
  void CancelRead() override;
  bool WriteOutput(const uint8_t* report, size_t length) override;
  bool GetManufacturerString(wchar_t* buffer, size_t bytes) override;
  bool GetProductString(wchar_t* buffer, size_t bytes) override;
  bool GetSerialNumberString(wchar_t* buffer, size_t bytes) override;
  bool GetIndexedString(uint32_t index, wchar_t* buffer, size_t bytes) override;

 private:
  // Sets the last-error code from errno; remembers when the device is gone.
  bool Fail(int err);
  bool FailGone();
  // A cheap request that fails once the device is gone.
  bool CheckPresent();
  bool CopyString(const std::optional<std::string>& text, wchar_t* buffer, size_t bytes);
  bool ReadLoop(uint8_t* report, size_t* received);

  const int fd_;
  const int wakeFd_;
  const Access access_;
  const std::shared_ptr<const NodeInfo> node_;
  const std::shared_ptr<const ParsedDescriptor> descriptor_;
  const hid::PreparsedPtr model_;
  const ReportTable& table_;
  hid::HIDP_CAPS caps_{};
  std::atomic<bool> gone_{false};
  std::atomic<bool> cancelled_{false};

  std::mutex readMutex_;
  std::condition_variable readDone_;
  int readsRunning_ = 0;
  std::vector<uint8_t> rawBuffer_;  // used by the one running read
};

}  // namespace hidhost::hidraw
