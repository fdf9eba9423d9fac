// --path and --serial: while an InterfaceFilter lives, the process's host
// lists only the interfaces chosen, so that every scan of the reader link
// (detection, sends, setting commands) reaches those alone. Everything else
// passes through to the host that was current before.
#pragma once

#include <memory>
#include <string>

#include "hidhost/host.h"

namespace pelorincli {

struct InterfaceChoice {
  std::string path;    // empty: any path
  std::string serial;  // empty: any serial number
  bool Any() const { return path.empty() && serial.empty(); }
};

class InterfaceFilter {
 public:
  explicit InterfaceFilter(const InterfaceChoice& choice);
  ~InterfaceFilter();
  InterfaceFilter(const InterfaceFilter&) = delete;
  InterfaceFilter& operator=(const InterfaceFilter&) = delete;

 private:
  std::shared_ptr<hidhost::Host> previous_;
};

}  // namespace pelorincli
