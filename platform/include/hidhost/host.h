// The host layer's device side: HID interfaces and time, behind one
// interface. A backend implements it for one platform (Linux hidraw, Windows,
// the simulated host); the programs and libraries of the suite call nothing
// else for devices or time. Program start and keyboard state are the system
// services' (hidhost/system_services.h).
//
// Every operation that fails sets the calling thread's last-error code
// (hidhost/errors.h) and says which codes it uses in its contract below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/errors.h"
#include "hidhost/export.h"
#include "hidhost/hidp.h"

namespace hidhost {

struct Attributes {
  uint16_t VendorID = 0;
  uint16_t ProductID = 0;
  uint16_t VersionNumber = 0;
};

enum class Access {
  // Attributes, report model and strings, on every device, even one the user
  // may neither read nor write (a keyboard or mouse that belongs to root).
  // Feature reports too, where the user may reach the device at all; else
  // they fail with 5. Input reads and output writes fail with 5.
  Query,
  // Everything Query allows, plus input reads and output writes.
  ReadWrite,
};

// Time. All waits of the suite go through a Clock, so that tests run in
// virtual time.
class HIDHOST_API Clock {
 public:
  virtual ~Clock();
  // Monotonic milliseconds since an arbitrary start.
  virtual uint64_t NowMs() const = 0;
  // Blocks the calling thread for `ms` milliseconds (virtual clocks advance
  // instead of blocking).
  virtual void SleepMs(uint32_t ms) = 0;
};

// The real clock: steady time and real sleeps. The operating system's hosts
// run on it, and so does the simulated host outside the tests.
HIDHOST_API std::shared_ptr<Clock> MakeRealClock();

// One open HID interface, that is one top-level collection of a device.
// Destroying it closes it; a read pending on another thread is cancelled
// first. The object is not shared between threads except for CancelRead()
// and a read running on one other thread.
class HIDHOST_API Device {
 public:
  virtual ~Device();

  // Vendor, product and version. Fails with 1167 once the device is gone.
  virtual bool GetAttributes(Attributes* out) = 0;

  // The report model of this collection; null and 1167 once the device is
  // gone. The model stays valid for as long as the caller holds it.
  virtual hid::PreparsedPtr GetPreparsedData() = 0;

  // Feature reports. `report` holds the whole report: byte 0 is the report ID
  // (0 when the collection uses none), then the data; `length` is at least the
  // caps' FeatureReportByteLength (87 when shorter, or when byte 0 names a
  // report ID the collection does not have while it uses IDs). GetFeature
  // fills the buffer with the report, byte 0 kept. Errors: 87, 31 (refused by
  // the device), 1167 (gone), 5.
  virtual bool GetFeature(uint8_t* report, size_t length) = 0;
  virtual bool SetFeature(const uint8_t* report, size_t length) = 0;

  // Reads one input report in the same layout, blocking until a report
  // arrives, the read is cancelled (995) or the device fails (1167 when it
  // is gone). `length` is at least the caps' InputReportByteLength (else
  // 87); shorter reports are zero-padded to it. *received gets the length
  // stored. Needs Access::ReadWrite (else 5).
  virtual bool ReadInput(uint8_t* report, size_t length, size_t* received) = 0;

  // Callable from any thread. The pending read, if any, and every later read
  // on this object fail at once with 995.
  virtual void CancelRead() = 0;

  // Writes one output report, same layout as feature reports. Needs
  // Access::ReadWrite (else 5). Errors: 87, 31, 1167.
  virtual bool WriteOutput(const uint8_t* report, size_t length) = 0;

  // Device strings as NUL-terminated wide characters. `bytes` is the buffer's
  // size in bytes; a string that does not fit fails with 122. A string the
  // device does not have fails with 31; one the platform cannot reach with 50.
  virtual bool GetManufacturerString(wchar_t* buffer, size_t bytes) = 0;
  virtual bool GetProductString(wchar_t* buffer, size_t bytes) = 0;
  virtual bool GetSerialNumberString(wchar_t* buffer, size_t bytes) = 0;
  virtual bool GetIndexedString(uint32_t index, wchar_t* buffer, size_t bytes) = 0;
};

class HIDHOST_API Host {
 public:
  virtual ~Host();

  // The present HID interfaces, one path per interface, in position order
  // (0, 1, 2, ...). The order is stable while nothing is plugged or
  // unplugged. Returns false only when the list cannot be built at all.
  // Cheap enough to call a hundred times per 100 ms.
  virtual bool EnumerateInterfaces(std::vector<std::string>* paths) = 0;

  // Opens the interface at `path`. Null on failure, with 2 (no such
  // interface), 5 (permission denied), 1167 (gone) or 31.
  virtual std::unique_ptr<Device> Open(const std::string& path, Access access) = 0;

  virtual Clock& clock() = 0;
};

// The process's host. On first use it is chosen from the environment: the
// simulated host when HID_SIMULATION is set, otherwise the operating system's
// backend. The same host serves every library of the suite in the process.
HIDHOST_API Host& CurrentHost();

// Replaces the process's host (tests and tools). Devices opened from the old
// host must be closed first.
HIDHOST_API void InstallHost(std::shared_ptr<Host> host);

// Shorthands for CurrentHost().clock().
HIDHOST_API uint64_t NowMs();
HIDHOST_API void SleepMs(uint32_t ms);

}  // namespace hidhost
