// The report model on Windows. The system keeps a collection's report
// descriptor to itself and gives preparsed data instead; this rebuilds a
// descriptor from what the documented HidP_* calls tell about that data, so
// that the suite's own parser makes the same model on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "win32_api.h"

namespace hidhost::win {

// A descriptor of the one top-level collection `preparsed` describes: its
// link collections, and every button and value field at the bit position
// the system reads it from (found by setting one bit at a time and asking
// HidP_GetUsageValue and HidP_GetUsagesEx whose bit it is). Bits that belong
// to no field become constant padding. Nullopt when the system refuses the
// caps queries.
//
// Array fields: the slot size is the distance between slots when their bits
// are told apart, else the caps' report count, else a byte.
std::optional<std::vector<uint8_t>> RebuildDescriptor(Win32Api& api, void* preparsed);

}  // namespace hidhost::win
