// A host that passes every request through to another host but holds the
// input reads of its devices at a gate. A test lets reads through one by one
// (or opens the gate for all) and waits until the event worker has come back
// for its next read: then the report before has been dispatched in full. So
// a test follows the worker without waiting for time to pass.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hidhost/host.h"

namespace tandril_test {

class GatedHost : public hidhost::Host {
 public:
  // With `open`, reads pass the gate without waiting (still counted).
  explicit GatedHost(std::shared_ptr<hidhost::Host> inner, bool open = false);

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override;
  hidhost::Clock& clock() override;

  // Lets `count` more reads through the gate.
  void Release(int count = 1);
  // Reads that pass the gate from now on fail with `code` (0: they go on to
  // the device again).
  void FailReads(uint32_t code);

  // Waits until `count` reads have reached the gate, or `devices` devices are
  // alive. False when the watchdog ends the wait (a stuck worker); the
  // watchdog only fails a test, it never paces one.
  bool WaitForReads(int count);
  bool WaitForLiveDevices(int devices);

  int ReadsStarted() const;
  int LiveDevices() const;
  // Steady-clock nanoseconds at which the last successful read returned.
  int64_t LastDeliveryNs() const { return lastDeliveryNs_.load(std::memory_order_acquire); }

  static constexpr std::chrono::seconds kWatchdog{20};

 private:
  class GatedDevice;
  friend class GatedDevice;

  std::shared_ptr<hidhost::Host> inner_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool open_;
  int permits_ = 0;
  int readsStarted_ = 0;
  int liveDevices_ = 0;
  uint32_t failCode_ = 0;
  std::atomic<int64_t> lastDeliveryNs_{0};
};

}  // namespace tandril_test
