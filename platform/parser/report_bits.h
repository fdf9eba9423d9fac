// Little-endian bit fields of at most 32 bits inside a report buffer. Every
// access is checked against the buffer's length: a field that does not lie
// wholly inside the buffer is neither read nor written, whatever the caller
// computed its position from.
#pragma once

#include <cstdint>

namespace hid::detail {

// True when bits [bitPos, bitPos + bitCount) lie inside a buffer of
// `lengthBytes` bytes.
inline bool FieldInside(uint32_t lengthBytes, uint32_t bitPos, uint32_t bitCount) {
  return static_cast<uint64_t>(bitPos) + bitCount <= static_cast<uint64_t>(lengthBytes) * 8;
}

// Reads the field into `out`. Returns false, leaving `out` alone, when the
// field is wider than 32 bits or not inside the buffer.
inline bool ReadBits(const uint8_t* buf, uint32_t lengthBytes, uint32_t bitPos, uint32_t bitCount, uint32_t& out) {
  if (bitCount > 32 || !FieldInside(lengthBytes, bitPos, bitCount)) return false;
  if (bitCount == 0) {
    out = 0;
    return true;
  }
  const uint8_t* p = buf + (bitPos >> 3);
  const uint32_t shift = bitPos & 7;
  const uint32_t bytes = (shift + bitCount + 7) >> 3;
  uint64_t v = 0;
  for (uint32_t i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  const uint64_t mask = (uint64_t{1} << bitCount) - 1;
  out = static_cast<uint32_t>((v >> shift) & mask);
  return true;
}

// Writes the low `bitCount` bits of `value`. Returns false, writing nothing,
// when the field is wider than 32 bits or not inside the buffer.
inline bool WriteBits(uint8_t* buf, uint32_t lengthBytes, uint32_t bitPos, uint32_t bitCount, uint32_t value) {
  if (bitCount > 32 || !FieldInside(lengthBytes, bitPos, bitCount)) return false;
  if (bitCount == 0) return true;
  uint8_t* p = buf + (bitPos >> 3);
  const uint32_t shift = bitPos & 7;
  const uint32_t bytes = (shift + bitCount + 7) >> 3;
  const uint64_t mask = ((uint64_t{1} << bitCount) - 1) << shift;
  uint64_t v = 0;
  for (uint32_t i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  v = (v & ~mask) | ((static_cast<uint64_t>(value) << shift) & mask);
  for (uint32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
  return true;
}

}  // namespace hid::detail
