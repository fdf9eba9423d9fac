// The utility's process-wide values. One Session lives from start-up to the
// end of the process; tests make a fresh one for each case.
#pragma once

#include <cstdint>
#include <string>

namespace utility {

inline constexpr const char* kWaitingStatus = "Please Connect KAVRO USB KB Reader!";

// Three one-byte flags, all clear at start-up.
struct RunState {
  uint8_t ScriptRunning = 0;  // a script run is in progress
  uint8_t ReaderPresent = 0;  // a reader was found once; never cleared
  uint8_t ScriptPaused = 0;   // the run stopped on a pause command
};

struct Session {
  RunState runState;
  // Typed commands sent since start-up, newest first, each followed by CR LF.
  std::string HistoryText;
  // The hand-over panel's status line.
  std::string StatusText = kWaitingStatus;
  // The part of a running script not yet consumed.
  std::string ScriptBuffer;
};

}  // namespace utility
