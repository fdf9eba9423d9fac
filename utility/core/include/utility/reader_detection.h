// Reader detection and the panel switch of the main dialog.
#pragma once

#include "utility/dialog_controls.h"
#include "utility/session.h"

namespace utility {

inline constexpr const char* kLegacyReaderStatus = "KAVRO USB KB Reader Connected \r\n(Revision <= H)";
inline constexpr const char* kUnknownReaderStatus = "Unknown Reader Connected ";
inline constexpr const char* kLaunchText =
    "Launch the original version \r\nKAVRO USB KB Setup Program\r\n\r\nThis program will close by itself";

// One scan of interfaces 0 to 99. Every matching interface that opens sets
// ReaderPresent and shows the screen of its generation; when none matched,
// the waiting screen. No reader stays open afterwards.
void DetectReader(DialogControls& controls, Session& session);

// Attaches the menu bar, hides the hand-over panel and shows the command
// panel. The Launch button is left as it is.
void ShowCommandPanel(DialogControls& controls);

}  // namespace utility
