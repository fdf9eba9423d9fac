// The simulated host: HID devices that live in memory, a virtual clock, and
// recorded program starts and keyboard state. It makes every program and test
// of the suite run without hardware.
//
// Devices come from a preset name ("reader", "legacy-reader", "both-readers",
// "ups", "none") or from a JSON device file; the format is described in
// docs/simulated-devices.md. The device models themselves are in
// hidhost/sim_device.h.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hidhost/host.h"
#include "hidhost/system_services.h"

namespace hidhost::sim {

// A clock whose time only moves when someone sleeps or advances it. SleepMs
// returns at once after moving the time forward; every sleep is recorded.
// Thread-safe.
class HIDHOST_API VirtualClock : public Clock {
 public:
  uint64_t NowMs() const override;
  void SleepMs(uint32_t ms) override;
  void AdvanceMs(uint64_t ms);                 // moves time without recording a sleep
  void AdvanceTo(uint64_t ms);                 // moves time to `ms` unless it is already later
  std::vector<uint32_t> Sleeps() const;        // every SleepMs argument, in order
  void ClearSleeps();

 private:
  mutable std::mutex mutex_;
  uint64_t now_ = 0;
  std::vector<uint32_t> sleeps_;
};

// Both the host and the system services: its devices type into the keyboard
// sink, and program starts and Caps Lock can be recorded and set. Only its
// creation is exported; a caller reaches the rest, the test controls too,
// through the object: the class is an interface, every member but the two
// below pure virtual, so that each program has its type information without
// the library exporting the class.
class SimulatedHost : public Host, public SystemServices {
 public:
  ~SimulatedHost() override = default;

  // Builds a host from a preset name or a JSON file path. On a bad file the
  // host has no devices and *error (when given) holds one line naming the
  // file and the field; the same line goes to stderr.
  HIDHOST_API static std::shared_ptr<SimulatedHost> Create(const std::string& presetOrPath,
                                                           std::shared_ptr<Clock> clock,
                                                           std::string* error = nullptr);
  // The same from JSON text held in memory; `sourceName` names it in errors.
  HIDHOST_API static std::shared_ptr<SimulatedHost> CreateFromJson(const std::string& jsonText,
                                                                   const std::string& sourceName,
                                                                   std::shared_ptr<Clock> clock,
                                                                   std::string* error = nullptr);

  // Test and demo controls.
  // Every request made of the devices, one line each, in the transcript
  // format (SET_FEATURE <hex>, GET_FEATURE <id>, OUTPUT <hex>, INPUT <hex>),
  // each prefixed by the interface path and a space.
  virtual std::vector<std::string> Transcript() const = 0;
  virtual void ClearTranscript() = 0;
  // Caps Lock as CapsLockOn() reports it from now on. Until it is called, a
  // host that records program starts reports Caps Lock off, and one that
  // really starts programs asks the operating system's services.
  virtual void SetCapsLock(bool on) = 0;
  // When recording (the default for hosts built by tests), StartProgram only
  // records the name and returns `result`; otherwise the operating system's
  // services start the program.
  virtual void SetRecordProgramStarts(bool record, bool result = true) = 0;
  virtual std::vector<std::string> ProgramStarts() const = 0;

 protected:
  SimulatedHost() = default;
};

// Builds the host of a preset name or JSON file path and installs it as the
// process's host and system services. When the preset or file is bad,
// nothing is installed, the result is null and *error (when given) says why.
HIDHOST_API std::shared_ptr<SimulatedHost> InstallSimulatedHost(const std::string& presetOrPath,
                                                                std::shared_ptr<Clock> clock,
                                                                std::string* error = nullptr);

}  // namespace hidhost::sim
