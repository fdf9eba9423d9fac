// Little-endian bit fields of at most 32 bits inside a report buffer. The
// caller guarantees that the field lies inside the buffer.
#pragma once

#include <cstdint>

namespace hid::detail {

inline uint32_t ReadBits(const uint8_t* buf, uint32_t bitPos, uint32_t bitCount) {
  if (bitCount == 0) return 0;
  const uint8_t* p = buf + (bitPos >> 3);
  const uint32_t shift = bitPos & 7;
  const uint32_t bytes = (shift + bitCount + 7) >> 3;
  uint64_t v = 0;
  for (uint32_t i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  const uint64_t mask = (uint64_t{1} << bitCount) - 1;
  return static_cast<uint32_t>((v >> shift) & mask);
}

inline void WriteBits(uint8_t* buf, uint32_t bitPos, uint32_t bitCount, uint32_t value) {
  if (bitCount == 0) return;
  uint8_t* p = buf + (bitPos >> 3);
  const uint32_t shift = bitPos & 7;
  const uint32_t bytes = (shift + bitCount + 7) >> 3;
  const uint64_t mask = ((uint64_t{1} << bitCount) - 1) << shift;
  uint64_t v = 0;
  for (uint32_t i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  v = (v & ~mask) | ((static_cast<uint64_t>(value) << shift) & mask);
  for (uint32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace hid::detail
