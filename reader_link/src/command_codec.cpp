// Hexadecimal and typed command texts into reader frames.
#include "reader_link/command_codec.h"

#include "text/hex_text.h"

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

bool HexToBytes(std::string_view text, std::vector<uint8_t>* bytes, uint32_t* count) {
  if (!bytes || !count || *count == 0) return false;
  const uint32_t characters = *count;
  if (characters > text.size()) return false;
  const uint32_t decoded = characters / 2;
  if (decoded > kMaxHexPayloadBytes) return false;
  *bytes = hidhost::DecodeHexPairs(text.substr(0, characters));
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
