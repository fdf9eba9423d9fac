// Whether the program's standard streams are attached to a terminal, for
// command-line tools that ask questions or show progress only when someone
// is watching.
#pragma once

#include "hidhost/export.h"

namespace hidhost {

enum class StdStream { Input, Output, Error };

// True when `stream` is a terminal (a console on Windows).
HIDHOST_API bool IsTerminal(StdStream stream);

}  // namespace hidhost
