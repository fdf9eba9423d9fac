// hiditems watch and strings: the event and device-string commands, on a
// device that Run() has opened.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace hiditems {

// "ERROR_INVALID_PARAMETER (87)" and the like.
std::string CodeText(uint32_t code);

// Whether an input item of this usage and report ID can raise an event
// that watch prints: its usage is one of the event table's.
bool RaisesEvents(uint8_t usage, uint16_t reportId);

struct WatchOptions {
  uint32_t mask = 0xFF;                // every event code
  std::optional<uint64_t> timeoutMs;   // none: until input reports stop
};

// Prints every event whose code is in `options.mask`, with the new value of
// each input item of that event's usage, until the device stops delivering
// input reports (the read-error event, which is always watched for; returns
// 1) or the timeout has passed (returns 0). Returns 1 at once when no input
// item can raise events or the worker cannot start.
int Watch(uint32_t device, const WatchOptions& options, std::ostream& out, std::ostream& err);

// Prints the manufacturer, product and serial-number strings; a string the
// device does not have is shown as "-". Returns 0, or 1 when a string could
// not be read for another reason (it is shown as "-" too).
int Strings(uint32_t device, bool json, std::ostream& out, std::ostream& err);

}  // namespace hiditems
