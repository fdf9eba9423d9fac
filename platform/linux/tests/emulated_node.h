// One hidraw node of the emulated device tree: answers the requests that
// reach a /dev/hidrawN file (open, read, write, ioctl, poll) from a
// simulated device model, the way the kernel's hidraw driver does.
//
// Each open file has its own input queue of at most 64 reports, and every
// open file gets every report. Input reports are taken from the model only
// while some open file waits for one, so a model that repeats its reports
// forever costs nothing while nobody reads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hidhost/sim_device.h"

struct fuse_pollhandle;

namespace hidhost::hidraw::testing {

struct NodeSetup {
  uint32_t minor = 0;
  std::shared_ptr<sim::DeviceModel> model;
  bool usb = true;  // a USB device above the HID device
  // What the node's permissions let the user open it for.
  bool mayRead = true;
  bool mayWrite = true;
};

class EmulatedNode {
 public:
  explicit EmulatedNode(NodeSetup setup);
  ~EmulatedNode();

  const NodeSetup& setup() const { return setup_; }
  bool Gone() const;

  // The file operations; each returns a negative errno on failure.
  int Open(int flags, uint64_t* handle);
  void Release(uint64_t handle);
  // A non-blocking read with nothing queued fails with EAGAIN.
  int Read(uint64_t handle, char* buffer, size_t size, bool nonBlocking = false);
  int Write(uint64_t handle, const char* buffer, size_t size);
  int Ioctl(uint64_t handle, unsigned int command, void* data);
  // Stores `ph` (when given) to be notified when the events change.
  unsigned Poll(uint64_t handle, fuse_pollhandle* ph);

  // The device goes away: queued reports can still be read, then reads fail
  // with EIO; everything else fails with ENODEV; pollers see POLLHUP.
  void Unplug();
  // Ends the input pump and wakes blocked reads (before unmounting).
  void Shutdown();

  // Test probes. Waits (with a real-time watchdog of `timeoutMs`) until a
  // poll on this node has found nothing to read and is waiting.
  bool WaitForWaitingPoller(int timeoutMs);
  // One line per report request as the device saw it ("GET_FEATURE len 9",
  // "SET_FEATURE len 3", "WRITE len 2").
  std::vector<std::string> Requests() const;
  size_t OpenFiles() const;

 private:
  struct OpenFile {
    bool readable = false;
    std::deque<std::vector<uint8_t>> queue;
    fuse_pollhandle* poller = nullptr;
  };

  bool GoneLocked() const;
  void NotifyLocked();
  void CancelPumpLocked();
  void Pump();
  static int Errno(uint32_t code);

  const NodeSetup setup_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<uint64_t, OpenFile> files_;
  uint64_t nextHandle_ = 1;
  bool gone_ = false;
  bool stopping_ = false;
  bool wantInput_ = false;
  int waitingPollers_ = 0;
  std::vector<std::string> requests_;
  std::atomic<bool> pumpCancel_{false};
  std::thread pump_;
};

}  // namespace hidhost::hidraw::testing
