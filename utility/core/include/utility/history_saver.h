// File > Save History to File: writes the history box's text to a file the
// operator chooses, byte for byte.
#pragma once

#include "utility/dialog_controls.h"
#include "utility/prompter.h"

namespace utility {

inline constexpr const char* kFileOpenFailedMessage = "Error: Fail to open the file";

void SaveHistory(DialogControls& controls, Prompter& prompter);

}  // namespace utility
