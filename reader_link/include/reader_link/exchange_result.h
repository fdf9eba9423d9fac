// What one exchange with the readers gives back: the frame as written, and
// for every reader interface it reached whether the frame went out and what
// the interface answered, as bytes. Texts shown to the operator are made
// from this result, never read back from them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace readerlink {

// The exchange with one interface.
struct InterfaceExchange {
  std::string path;           // the interface reached
  bool written = false;       // every report of the frame was taken
  bool answered = false;      // the answer's reads ran to their end
  std::vector<uint8_t> answer;  // the bytes received, report padding after
                                // the last non-zero byte dropped
};

// What became of a frame sent to the readers.
enum class Delivery {
  NotSent,     // no reader interface took it, or the command was refused first
  Unanswered,  // an interface took the whole frame, then the exchange failed
               // (the reader was unplugged during it)
  Answered,    // an exchange ran to its end
};

struct ExchangeResult {
  std::vector<uint8_t> frame;                 // as written; empty when none was formed
  std::vector<InterfaceExchange> interfaces;  // in the order they were reached

  Delivery delivery() const;
  // The answer of the last interface whose exchange ran to its end; empty
  // when none did.
  std::span<const uint8_t> answer() const;
  // The last non-empty answer, whether or not its exchange ran to its end.
  std::span<const uint8_t> lastHeard() const;
};

// "%02X " for each byte: 06 41 0A gives "06 41 0A ".
std::string HexBytesText(std::span<const uint8_t> bytes);

// `bytes` without the zero bytes after the last non-zero one.
std::span<const uint8_t> WithoutPadding(std::span<const uint8_t> bytes);

}  // namespace readerlink
