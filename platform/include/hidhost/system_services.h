// What the suite asks of the operating system besides devices: starting a
// sibling program, the Caps Lock state, and text typed by a device that acts
// as a keyboard. One instance per process, beside the host.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "hidhost/export.h"

namespace hidhost {

// Text typed by a device that acts as a keyboard (a reader answering a
// command). Called on the thread that made the device type, usually the
// thread that sent the command. 8-bit text; "\r" ends a line.
using KeyboardSink = std::function<void(const std::string& text)>;

class HIDHOST_API SystemServices {
 public:
  virtual ~SystemServices();

  // Installs or (with an empty function) removes the keyboard sink. Real
  // readers type through the system's own keyboard input into the focused
  // window, so the operating system's services keep no sink; the simulated
  // host types into it.
  virtual void SetKeyboardSink(KeyboardSink sink) = 0;

  // Starts a program by bare name, with no arguments, without waiting for
  // it: first in the running program's own folder, then on the system's
  // search path. False with 2 when it cannot be found or started.
  virtual bool StartProgram(const std::string& name) = 0;

  // Whether Caps Lock is toggled on. False when the state cannot be read.
  virtual bool CapsLockOn() = 0;
};

// The operating system's services (POSIX or Windows); the layer's own, not
// exported: programs reach them through CurrentServices().
std::shared_ptr<SystemServices> MakeOsServices();

// The process's services. On first use they are chosen with the host: the
// simulated host's when HID_SIMULATION is set, the operating system's
// otherwise.
HIDHOST_API SystemServices& CurrentServices();

// Replaces the process's services (tests and tools); null goes back to the
// choice from the environment.
HIDHOST_API void InstallServices(std::shared_ptr<SystemServices> services);

}  // namespace hidhost
