// Batch files: lists of setup strings, one a line, that Send File writes to
// the reader one after the other.
//
// Format (8-bit text; CR LF and LF line ends both work):
//  - each line is one setup string; only its first 79 characters are kept;
//  - a line that begins with ";;" is a comment and is dropped;
//  - a line that is exactly "END" ends the batch; nothing after it is read;
//    without such a line the batch ends at the end of the file;
//  - every other line, an empty one included, is sent (an empty line sends a
//    lone carriage return);
//  - at most 99 lines to send.
#pragma once

#include <string>
#include <vector>

namespace skelmar {

constexpr size_t kMaxBatchLineChars = 79;
constexpr size_t kMaxBatchLines = 99;

struct BatchFile {
  enum class Status {
    Ok,             // lines holds 1 to 99 setup strings
    NothingToSend,  // no setup string before the end of the batch
    TooManyLines,   // more than 99 setup strings
    Unreadable,     // not a regular file, or it cannot be opened or read
  };
  Status status = Status::Unreadable;
  std::vector<std::string> lines;
};

// Reads the batch at `path` (8-bit file name). Memory stays bounded whatever
// the file holds: at most 99 lines of 79 characters are kept.
BatchFile ReadBatchFile(const std::string& path);

}  // namespace skelmar
