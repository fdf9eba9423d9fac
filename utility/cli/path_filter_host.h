// --path: while a PathFilter lives, the process's host lists only the one
// interface named, so that every scan of the reader link (detection, sends,
// setting commands) reaches that interface alone. Everything else passes
// through to the host that was current before.
#pragma once

#include <memory>
#include <string>

#include "hidhost/host.h"

namespace pelorincli {

class PathFilter {
 public:
  explicit PathFilter(const std::string& path);
  ~PathFilter();
  PathFilter(const PathFilter&) = delete;
  PathFilter& operator=(const PathFilter&) = delete;

 private:
  std::shared_ptr<hidhost::Host> previous_;
};

}  // namespace pelorincli
