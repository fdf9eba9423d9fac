#include "reader_link/exchange_result.h"

#include "text/hex_text.h"

namespace readerlink {

Delivery ExchangeResult::delivery() const {
  bool written = false;
  for (const InterfaceExchange& one : interfaces) {
    if (one.answered) return Delivery::Answered;
    written = written || one.written;
  }
  return written ? Delivery::Unanswered : Delivery::NotSent;
}

std::span<const uint8_t> ExchangeResult::answer() const {
  for (auto it = interfaces.rbegin(); it != interfaces.rend(); ++it) {
    if (it->answered) return it->answer;
  }
  return {};
}

std::span<const uint8_t> ExchangeResult::lastHeard() const {
  for (auto it = interfaces.rbegin(); it != interfaces.rend(); ++it) {
    if (!it->answer.empty()) return it->answer;
  }
  return {};
}

std::string HexBytesText(std::span<const uint8_t> bytes) { return hidhost::HexBytesEachSpaced(bytes); }

std::span<const uint8_t> WithoutPadding(std::span<const uint8_t> bytes) {
  size_t used = bytes.size();
  while (used > 0 && bytes[used - 1] == 0) --used;
  return bytes.first(used);
}

}  // namespace readerlink
