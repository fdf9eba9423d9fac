// The system services on POSIX systems: program start with fork and exec,
// looked up in the own folder and on PATH, and Caps Lock from the keyboard
// LEDs in sysfs.
#pragma once

#include <string>

#include "hidhost/system_services.h"

namespace hidhost {

// The file a bare program name stands for: `name` in `ownDir` first, then in
// each folder of `pathList` (colon-separated, as PATH). Only regular files
// that may be executed count. Empty when none is found, or when `name` is
// empty or holds a '/'.
std::string FindProgram(const std::string& name, const std::string& ownDir,
                        const std::string& pathList);

// The folder of the running program ("" when it cannot be told).
std::string OwnProgramFolder();

// Starts `file` with no arguments and the current environment, without
// waiting for it to end. True once the program has been started; false with
// the last-error code set (2 when it cannot be started).
bool StartDetached(const std::string& file);

// FindProgram in the own folder and on PATH, then StartDetached. False with
// 2 when the program cannot be found or started.
bool StartProgramByName(const std::string& name);

// Whether Caps Lock is on, from the keyboard LEDs under `ledsDir` (entries
// named "<device>::capslock" with a "brightness" file): on when any of them
// is lit. False when there are none or none can be read.
bool CapsLockFromLeds(const std::string& ledsDir);

class PosixServices : public SystemServices {
 public:
  // `ledsDir` is where the keyboard LEDs are (tests point it elsewhere).
  explicit PosixServices(std::string ledsDir = "/sys/class/leds") : ledsDir_(std::move(ledsDir)) {}

  void SetKeyboardSink(KeyboardSink) override {}
  bool StartProgram(const std::string& name) override { return StartProgramByName(name); }
  bool CapsLockOn() override { return CapsLockFromLeds(ledsDir_); }

 private:
  std::string ledsDir_;
};

}  // namespace hidhost
