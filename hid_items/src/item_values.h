// Reading and writing item values through reports.
#pragma once

#include <cstdint>

#include "hid_device.h"

namespace tandril {

// Brings the item's value up to date. Feature items decode the stored
// feature report of their report ID, fetching it first when it has never
// been fetched or the item is Volatile; input items decode the event
// worker's last input report; output items fail. On failure the value is
// left as it was.
bool RefreshItem(Item& item);

// Builds one report holding `value` in the item's field and every other
// field 0, and sends it: a set-feature request for feature items, an output
// report for output items. Input items fail with ERROR_INVALID_PARAMETER.
// The stored feature report is not touched.
bool WriteItem(Item& item, int32_t value);

// Whether the item's button is among the active usages of `report` (of
// `type`, `length` bytes): *value becomes 1 or 0. False when the report
// cannot be decoded.
bool ReadButton(const Item& item, hid::HIDP_REPORT_TYPE type, const uint8_t* report,
                uint32_t length, int32_t* value);

}  // namespace tandril
