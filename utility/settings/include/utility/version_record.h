// The record Review Version shows: the command, the reader's answer bytes and
// the firmware version characters carried inside the answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace utility {

// STX, 0x52, the version function code 0x22, ETX and the LRC.
inline constexpr std::array<uint8_t, 5> kVersionCommand = {0x02, 0x52, 0x22, 0x03, 0x71};

// The answer buffer of a version review.
inline constexpr size_t kVersionAnswerCapacity = 100;

// The firmware version characters of a version answer: its bytes from
// position 2 up to the one before ETX; the last of them is still taken when
// a zero LRC went with the padding. Zero bytes add nothing.
std::string FirmwareVersion(std::span<const uint8_t> answer);

// "Command:  02 52 22 03 71 \r\nResponse:  <answer bytes>\r\n\r\nFirmware Version: "
// followed by the version characters. The answer bytes shown stop at the
// last non-zero one.
std::string VersionRecord(std::span<const uint8_t> answer);

}  // namespace utility
