// The record Review Version shows: the command, the reader's answer bytes and
// the firmware version characters carried inside the answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace utility {

// STX, 0x52, the version function code 0x22, ETX and the LRC.
inline constexpr std::array<uint8_t, 5> kVersionCommand = {0x02, 0x52, 0x22, 0x03, 0x71};

// The answer buffer of a version review.
inline constexpr size_t kVersionAnswerCapacity = 100;

// "Command:  02 52 22 03 71 \r\nResponse:  <answer bytes>\r\n\r\nFirmware Version: "
// followed by the version characters. `count` is how many answer bytes the
// exchange reported (clamped to the buffer). The answer bytes shown stop at
// the last non-zero one; the version characters are the answer's bytes from
// position 2 up to the one before ETX, and the last of them is still shown
// when a zero LRC was trimmed with the trailing zeros. Zero bytes add nothing.
std::string VersionRecord(const std::array<uint8_t, kVersionAnswerCapacity>& answer, size_t count);

}  // namespace utility
