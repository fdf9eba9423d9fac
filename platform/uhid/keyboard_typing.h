// Text typed by a simulated reader, as the input reports of a boot-protocol
// keyboard (US layout): one key press and one release per character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hidhost/hidp.h"

namespace hidhost::uhid {

// Whether a collection reads as a boot keyboard without report IDs: Generic
// Desktop Keyboard with an 8-byte input report (modifiers, reserved, six
// keys), so that typed text can be sent as its input reports.
bool IsBootKeyboard(hid::PHIDP_PREPARSED_DATA pp, bool usesReportIds);

// The reports that type `text`, without a report-ID byte: for each character
// a press (Shift where the layout needs it) and a release. "\r" and "\n" are
// Enter; characters without a key on the layout are left out.
std::vector<std::vector<uint8_t>> KeyboardReports(const std::string& text);

}  // namespace hidhost::uhid
