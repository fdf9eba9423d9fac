// Hexadecimal and typed command texts into reader frames.
#include "reader_link/command_codec.h"

namespace readerlink {

namespace {

// STX, then the payload written by `fill`, then the tail bytes, then the LRC
// of everything before it.
template <typename Payload>
std::vector<uint8_t> Frame(const Payload& payload, std::initializer_list<uint8_t> tail) {
  std::vector<uint8_t> frame;
  frame.reserve(payload.size() + tail.size() + 2);
  frame.push_back(kStx);
  for (auto c : payload) frame.push_back(static_cast<uint8_t>(c));
  frame.insert(frame.end(), tail.begin(), tail.end());
  uint8_t lrc = 0;
  for (uint8_t b : frame) lrc ^= b;
  frame.push_back(lrc);
  return frame;
}

}  // namespace

uint8_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  return 0;
}

bool HexToBytes(std::string_view text, std::vector<uint8_t>* bytes, uint32_t* count) {
  if (!bytes || !count || *count == 0) return false;
  const uint32_t characters = *count;
  if (characters > text.size()) return false;
  const uint32_t decoded = characters / 2;
  if (decoded > kMaxHexPayloadBytes) return false;
  bytes->resize(decoded);
  for (uint32_t i = 0; i < decoded; ++i) {
    (*bytes)[i] = static_cast<uint8_t>(HexDigitValue(text[2 * i]) * 16 +
                                       HexDigitValue(text[2 * i + 1]));
  }
  *count = decoded;
  return true;
}

std::vector<uint8_t> BuildHexFrame(std::span<const uint8_t> bytes) {
  return Frame(bytes, {kEtx});
}

std::vector<uint8_t> BuildTypedFrame(std::string_view text) {
  return Frame(text, {kCr, kEtx});
}

}  // namespace readerlink
