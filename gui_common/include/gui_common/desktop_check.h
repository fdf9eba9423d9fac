// Both Qt programs ask for a desktop before Qt starts: without a display Qt
// aborts with a text about its platform plugins.
#pragma once

#include <ostream>
#include <string>

namespace guicommon {

// True when there is a desktop to show `program`'s windows on; otherwise
// false, after one line on `err` saying so and how to try the suite without
// one.
bool CheckDesktop(const std::string& program, std::ostream& err);

}  // namespace guicommon
