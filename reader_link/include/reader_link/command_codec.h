// The command codec: turns the operator's command text into the frame the
// reader takes. A frame is STX 0x02, the payload, a CR 0x0D for typed
// commands only, ETX 0x03, and an LRC byte, the exclusive or of every byte
// from the STX through the ETX.
//
// Worked frames: "52 24" gives 02 52 24 03 77, "53 24 01 30" gives
// 02 53 24 01 30 03 47, the typed text R1 gives 02 52 31 0D 03 6F.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace readerlink {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kCr = 0x0D;

// Longest payloads that keep a frame within the 128-byte command buffer.
constexpr uint32_t kMaxHexPayloadBytes = 125;
constexpr uint32_t kMaxTypedChars = 124;

// Decodes pairs of hexadecimal characters into bytes. On entry `*count` is
// the number of characters of `text` to decode; on success it is the number
// of bytes stored in `*bytes` (count / 2, rounded down: an odd last
// character is ignored). Characters that are not hexadecimal digits count as
// 0 (the lenient reader of text/hex_text.h), so "G1" gives 0x01 and "1G"
// 0x10; spaces and tabs must be removed by the caller, line breaks decode
// like any other characters.
// False, with `*bytes` and `*count` untouched, when `bytes` or `count` is
// null, the count is 0, exceeds the text's length, or would give more than
// 125 bytes (252 characters or more).
bool HexToBytes(std::string_view text, std::vector<uint8_t>* bytes, uint32_t* count);

// STX, the bytes, ETX, LRC: n + 3 bytes.
std::vector<uint8_t> BuildHexFrame(std::span<const uint8_t> bytes);

// STX, the characters unchanged as 8-bit codes, CR, ETX, LRC: n + 4 bytes.
std::vector<uint8_t> BuildTypedFrame(std::string_view text);

}  // namespace readerlink
