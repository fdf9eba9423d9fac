// The hiditems command line: looks into any HID device through Tandril's
// exported interface.
//
//   hiditems list                      devices with position, vendor, product, version
//   hiditems items POS                 every item of the device at POS
//   hiditems get POS PATH              an item's value
//   hiditems set POS PATH VALUE        writes an item's value
//   hiditems convert POS ORDINAL-PATH  the canonical path of an ordinal path
//   hiditems watch POS [MASK]          events as they come, with the items' new values
//   hiditems strings POS               manufacturer, product and serial number
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace hiditems {

// Runs one command; `args` excludes the program name. Results go to `out`,
// errors (with the last-error code and its name) to `err`. Returns the exit
// status: 0 success, 1 failure, 2 bad command line.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace hiditems
