// Which readers are there, as Pelorin's detection sees them: the interfaces
// at positions 0 to 99 that belong to a supported reader and can be opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hidhost/host.h"
#include "interface_filter.h"

namespace pelorincli {

struct ReaderInterface {
  int32_t position = 0;
  std::string path;
  uint16_t productId = 0;  // 0x0200 older generation, 0x2420 current
  // Whether the interface is a current reader's with a feature report that
  // can carry frames; the reader's keyboard interface has none.
  bool takesCommands = false;
  std::string serial;  // UTF-8; empty when the reader gives none
};

struct ReaderStatus {
  std::vector<ReaderInterface> interfaces;
  // Interfaces that could not be opened for lack of permission; counted only
  // when no reader was found, to explain why.
  int deniedInterfaces = 0;

  bool HasCurrentReader() const;
  // A current reader's interface that takes commands.
  bool HasCommandInterface() const;
};

// The chosen reader interfaces.
ReaderStatus ScanReaderStatus(const InterfaceChoice& choice);

// The path of a chosen reader interface whose feature report the user may
// not reach (access denied), or empty. It reads the feature report once, which
// the reader answers with an empty report when no command is pending.
std::string ReaderDeniedPath(const InterfaceChoice& choice);

// The interface's serial number string as UTF-8; empty when it has none.
std::string SerialNumber(hidhost::Device& device);

// "current" or "older (Revision <= H)".
std::string GenerationName(uint16_t productId);

}  // namespace pelorincli
