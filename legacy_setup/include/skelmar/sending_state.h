// The sending engine's state: the line being written, what the status box
// shows while it goes out, and the lines of the current batch file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace skelmar {

constexpr size_t kMaxSendChars = 254;   // of a typed setup string
constexpr size_t kMaxBatchPath = 255;   // characters of a batch file's path

struct SendingState {
  // The setup string or batch line being sent; while a batch file is being
  // opened, its path.
  std::string SendText;
  // What the sending tick shows in the status box: "Sending..." and the
  // characters written so far.
  std::string StatusLine;
  int32_t CharsLeft = 0;   // characters of SendText still to write
  int32_t NextChar = 0;    // index of the next one; 0 while no line is sent
  // Lines of the current batch; slot 0 is never used, lines go to 1 to 99.
  std::array<std::string, 101> BatchLines;
  int32_t BatchIndex = 0;  // number of lines of the batch; 0 when none runs
  int32_t LinesLeft = 0;   // batch lines to send after the current one
};

}  // namespace skelmar
