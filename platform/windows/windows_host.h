// The host layer on Windows: HID interfaces through SetupAPI and hid.dll,
// every system call through a Win32Api table.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hidhost/host.h"
#include "win32_api.h"

namespace hidhost::win {

// The longest the host keeps its interface list. The system's word on a
// change can fail to come (Wine loses some); this bounds how long a reader
// plugged in meanwhile stays unseen.
constexpr uint64_t kListMaxAgeMs = 1000;

class WindowsHost : public Host {
 public:
  WindowsHost(std::shared_ptr<Win32Api> api, std::shared_ptr<Clock> clock);

  // The list is read once and kept until the system tells of an interface
  // that came or went, for kListMaxAgeMs at most; where the system cannot
  // tell of changes, every call reads it afresh.
  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  // Query opens ask for no access rights (attributes, strings and feature
  // reports need none); read-write opens ask for both, overlapped for reads.
  std::unique_ptr<Device> Open(const std::string& path, Access access) override;
  Clock& clock() override { return *clock_; }

 private:
  bool ReadInterfaces(std::vector<std::string>* paths);

  std::shared_ptr<Win32Api> api_;
  std::shared_ptr<Clock> clock_;

  std::mutex listMutex_;  // what follows but `changes_`
  bool watchTried_ = false;
  bool listRead_ = false;
  uint64_t listReadAt_ = 0;    // `changes_` when the list was read
  uint64_t listReadAtMs_ = 0;  // and the clock's time
  std::vector<std::string> list_;
  std::atomic<uint64_t> changes_{0};  // counted by the watch's system thread
  // Last, so that it ends before the members its callback touches.
  std::unique_ptr<Win32Api::Watch> watch_;
};

}  // namespace hidhost::win
