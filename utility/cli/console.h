// The streams a pelorin-cli command talks through, and whether someone is
// at a terminal to answer a question or watch progress.
#pragma once

#include <istream>
#include <ostream>

namespace pelorincli {

struct Console {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool inputIsTerminal = false;  // a question may be asked on `in`
  bool errorIsTerminal = false;  // progress may be shown on `err`
};

}  // namespace pelorincli
