// Runs the hiditems command line against the simulated host of a test and
// keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "hiditems_cli.h"
#include "sim_fixture.h"

namespace tandril_test {

class HidItemsTest : public SimHostTest {
 protected:
  // The command's exit status; out_ and err_ hold what it printed.
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return hiditems::Run(args, out_, err_);
  }

  std::ostringstream out_, err_;
};

}  // namespace tandril_test
