// What the runner's and the setting commands' tests share: a simulated host
// in virtual time, the main dialog's operations on fake controls with a
// scripted prompter, and the frames the simulated reader received.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "hidhost/sim.h"
#include "utility/scripted_prompter.h"
#include "utility/session.h"
#include "utility/utility_controller.h"

namespace utility::testing {

struct ReaderSession {
  // A simulated host preset ("reader", "none", ...), or a JSON device file.
  struct Devices {
    std::string json;
  };
  explicit ReaderSession(const std::string& preset = "reader");
  explicit ReaderSession(const Devices& devices);

  // Frames written to the reader since the last call, as "%02X " text,
  // reassembled from the feature reports of the transcript.
  std::vector<std::string> TakeSentFrames();

  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<hidhost::sim::SimulatedHost> host;
  FakeControls controls;
  ScriptedPrompter prompter;
  Session session;
  UtilityController controller{controls, prompter, session};
};

std::string HexByte(uint8_t byte);  // "%02X "
// The frames, as "%02X " text, of a typed command and of hexadecimal text.
std::string TypedFrameText(const std::string& text);
std::string HexFrameText(const std::string& hexText);

}  // namespace utility::testing
