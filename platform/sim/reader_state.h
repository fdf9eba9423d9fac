// The state file of a simulated current reader: its settings and the number
// of setting writes it has taken, kept across program runs.
#pragma once

#include <string>

#include "reader_models.h"

namespace hidhost::sim {

// The text of a state file for `options`: a JSON object with "language",
// "polling_interval", "turbo_speed" and "writes", the first three written as
// a device file writes them.
std::string FormatReaderState(const ReaderOptions& options);

// Writes the state file `path` whole: first a file beside it, then renamed
// over it, so that a reader never meets half a file. False with *error set
// when the file cannot be written.
bool SaveReaderState(const std::string& path, const ReaderOptions& options, std::string* error);

}  // namespace hidhost::sim
