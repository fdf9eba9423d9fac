// One simulated device as a kernel HID device: the requests the kernel
// sends through a /dev/uhid file descriptor go to a device model, and the
// model's input reports and typed text go back as UHID_INPUT2 events.
//
// The kernel hands feature and output requests over as hidraw took them:
// with the report-ID byte first, also 0 on a device without report IDs.
// Requests that drivers inside the kernel make (a keyboard's LED report)
// leave that byte out on such a device; both reach the model with it.
#pragma once

#include <linux/uhid.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "hidhost/sim_device.h"

namespace hidhost::uhid {

// The UHID_CREATE2 request for `model`: bus USB, its IDs and version, its
// descriptor, "<manufacturer> <product>" as the name (as the USB HID driver
// names devices), the serial number as uniq and `phys` (which tells the
// device apart in sysfs). Empty text when it is made, else why not.
std::string MakeCreateEvent(const sim::DeviceModel& model, const std::string& phys, uhid_event* event);

// A model's system error code as the errno of a uhid reply.
uint16_t ReplyErrno(uint32_t code);

class UhidDevice {
 public:
  // Takes ownership of `fd` (an open /dev/uhid, or in tests one end of a
  // socket pair). `clock` paces typed text.
  UhidDevice(std::shared_ptr<sim::DeviceModel> model, int fd, std::string phys,
             std::shared_ptr<Clock> clock);
  ~UhidDevice();
  UhidDevice(const UhidDevice&) = delete;
  UhidDevice& operator=(const UhidDevice&) = delete;

  // Sends UHID_CREATE2. Empty text on success, else one line saying why.
  std::string Create();

  // Reads one event from the descriptor and answers it. False when the
  // descriptor fails or is closed; true also for events it ignores.
  bool HandleNextEvent();
  void Handle(const uhid_event& event);

  // Text the reader types, queued as key presses and releases on this
  // device (a boot keyboard); one report every kTypingIntervalMs.
  void QueueTyping(const std::string& text);
  // Sends the typing reports that are due by `now`; the time the next one
  // is due, if any.
  std::optional<uint64_t> SendDueTyping(uint64_t now);

  // From now on requests are refused (ENODEV) without asking the model and
  // input reports stop: the device is about to go. Its own Destroy may
  // wait in the kernel for a request pending on another device, so it runs
  // on another thread while this one goes on answering.
  void SetClosing() { closing_ = true; }

  // Stops the input reports and sends UHID_DESTROY (once). Thread-safe.
  void Destroy();

  int fd() const { return fd_; }
  const std::string& phys() const { return phys_; }
  const sim::DeviceModel& model() const { return *model_; }
  bool isKeyboard() const { return keyboard_; }
  bool started() const { return started_; }
  bool destroyed() const { return destroyed_; }

  static constexpr uint32_t kTypingIntervalMs = 8;

 private:
  bool Write(const uhid_event& event);
  void SendInput(const std::vector<uint8_t>& report);
  // The request's bytes with the report-ID byte first.
  std::vector<uint8_t> WithReportId(const uint8_t* data, size_t size, uint8_t rnum,
                                    hid::HIDP_REPORT_TYPE type) const;
  void GetReport(const uhid_get_report_req& request);
  void SetReport(const uhid_set_report_req& request);
  void Output(const uhid_output_req& request);
  void StartInputs();
  void StopInputs();

  const std::shared_ptr<sim::DeviceModel> model_;
  const int fd_;
  const std::string phys_;
  const std::shared_ptr<Clock> clock_;
  const bool keyboard_;
  std::atomic<bool> started_{false};
  std::atomic<bool> destroyed_{false};
  std::atomic<bool> closing_{false};

  // Input reports flow while the kernel has the device open.
  std::mutex inputsMutex_;
  std::thread inputs_;
  std::atomic<bool> inputsCancelled_{false};

  std::mutex typingMutex_;
  std::deque<std::vector<uint8_t>> typing_;
  uint64_t nextTypingAt_ = 0;
};

}  // namespace hidhost::uhid
