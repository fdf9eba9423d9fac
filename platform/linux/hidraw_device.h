// One open interface of the hidraw backend: one top-level collection of a
// hidraw node. A read-write interface has its own file descriptor on the
// node from the start; a query interface answers from sysfs and opens the
// node only when a feature report needs it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hidhost/host.h"
#include "node_catalog.h"
#include "report_shape.h"

namespace hidhost::hidraw {

class HidrawDevice : public Device {
 public:
  // Takes ownership of `fd` (-1 for a query interface, which opens
  // `nodePath` itself when it must). The report model is read from the node
  // when first needed, unless `descriptor` already holds what the node or
  // sysfs said.
  HidrawDevice(int fd, Access access, std::shared_ptr<const NodeInfo> node, size_t collection,
               NodeCatalog& catalog, std::shared_ptr<const ParsedDescriptor> descriptor,
               std::string nodePath);

  // Opens a node: read-write for Access::ReadWrite; for Access::Query with
  // whichever right the user has, since the report ioctls need neither in
  // particular. -1 with errno set on failure.
  static int OpenNode(const std::string& path, Access access);

  // The node's report descriptor through HIDIOCGRDESCSIZE and HIDIOCGRDESC;
  // nullopt with errno set on failure.
  static std::optional<std::vector<uint8_t>> ReadDescriptor(int fd);
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
  // Fails once the device is gone: a cheap request on the node when it is
  // open, else a look at the node's sysfs entry.
  bool CheckPresent();
  // The node's file descriptor, opened now if this query interface has none
  // yet; -1 with the last-error code set (5 when the user may not open it).
  int NodeFd();
  bool CopyString(const std::optional<std::string>& text, wchar_t* buffer, size_t bytes);
  bool ReadLoop(uint8_t* report, size_t* received);
  // The checks before a feature or output request; false with the
  // last-error code set when it may not go to the device.
  bool PrepareRequest(hid::HIDP_REPORT_TYPE type, const uint8_t* report, size_t length,
                      ReportRequest* request);
  // Reads and parses the descriptor once; false with the last-error code set
  // when the node gives none or this collection is not in it.
  bool LoadModel();

  std::atomic<int> fd_;
  std::mutex fdMutex_;  // held while a query interface opens the node
  const std::string nodePath_;
  const Access access_;
  const std::shared_ptr<const NodeInfo> node_;
  const size_t collection_;
  NodeCatalog& catalog_;

  // Set once by LoadModel.
  std::once_flag modelOnce_;
  uint32_t modelError_ = 0;
  std::shared_ptr<const ParsedDescriptor> descriptor_;
  hid::PreparsedPtr model_;
  hid::HIDP_CAPS caps_{};
  std::atomic<bool> gone_{false};
  std::atomic<bool> cancelled_{false};

  std::mutex readMutex_;
  std::condition_variable readDone_;
  int readsRunning_ = 0;
  // An eventfd that wakes a pending read; made by the first read, since most
  // interfaces are opened only to be looked at.
  int wakeFd_ = -1;
  std::vector<uint8_t> rawBuffer_;  // used by the one running read
};

}  // namespace hidhost::hidraw
