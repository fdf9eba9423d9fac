// --path and --serial: which reader interfaces a command goes to. Status,
// the sends and the setting commands all take the scan's interfaces through
// this one choice.
#pragma once

#include <string>

#include "reader_link/reader_link.h"

namespace pelorincli {

struct InterfaceChoice {
  std::string path;    // empty: any path
  std::string serial;  // empty: any serial number
  bool Any() const { return path.empty() && serial.empty(); }
};

// Whether `reader` is one of those chosen. Paths compare without regard to
// letter case, as the reader link compares them; the serial number is read
// from the interface.
bool Chosen(const InterfaceChoice& choice, const readerlink::ReaderInterface& reader);

}  // namespace pelorincli
