// hiditems watch and strings: the event and device-string commands, on a
// device that Run() has opened.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace hiditems {

// "ERROR_INVALID_PARAMETER (87)" and the like.
std::string CodeText(uint32_t code);

// Prints every event whose code is in `mask`, with the new value of each
// input item of that event's usage, until the device stops delivering input
// reports (the read-error event, which is always watched for). Returns 1
// then; 1 at once when the worker cannot start.
int Watch(uint32_t device, uint32_t mask, std::ostream& out, std::ostream& err);

// Prints the manufacturer, product and serial-number strings. Returns 0 when
// all three were read, 1 when one was not (it is shown as "-").
int Strings(uint32_t device, std::ostream& out, std::ostream& err);

}  // namespace hiditems
