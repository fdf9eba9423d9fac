// Whether the program's standard streams are attached to a terminal, for
// command-line tools that ask questions or show progress only when someone
// is watching; and their arguments as UTF-8.
#pragma once

#include <string>
#include <vector>

namespace hidhost {

enum class StdStream { Input, Output, Error };

// True when `stream` is a terminal (a console on Windows).
bool IsTerminal(StdStream stream);

// The program's arguments after its name, as UTF-8: on Windows read again
// from the wide command line (`argv` holds them in the 8-bit code page,
// characters it lacks already lost), elsewhere `argv` as it stands.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace hidhost
