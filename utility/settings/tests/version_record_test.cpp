// The Review Version record built from the reader's answer buffer.
#include <gtest/gtest.h>

#include <initializer_list>

#include "utility/version_record.h"

namespace utility {
namespace {

constexpr const char* kHead = "Command:  02 52 22 03 71 \r\nResponse:  ";

std::array<uint8_t, kVersionAnswerCapacity> Answer(std::initializer_list<uint8_t> bytes) {
  std::array<uint8_t, kVersionAnswerCapacity> answer{};
  size_t i = 0;
  for (uint8_t b : bytes) answer[i++] = b;
  return answer;
}

struct VersionCase {
  const char* name;
  std::array<uint8_t, kVersionAnswerCapacity> answer;
  size_t count;
  std::string expected;
};

class VersionRecordTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionRecordTest, ShowsAnswerAndVersionCharacters) {
  EXPECT_EQ(VersionRecord(GetParam().answer, GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, VersionRecordTest,
    ::testing::Values(
        VersionCase{"NonZeroLrc", Answer({0x06, 0x22, 'V', '1', '.', '2', 0x03, 0x5B}), 100,
                    std::string(kHead) + "06 22 56 31 2E 32 03 5B \r\n\r\nFirmware Version: V1.2"},
        // A zero LRC is trimmed with the trailing zeros; the last character stays.
        VersionCase{"ZeroLrc", Answer({0x06, 0x22, 'V', '1', '.', '2', 0x03, 0x00}), 100,
                    std::string(kHead) + "06 22 56 31 2E 32 03 \r\n\r\nFirmware Version: V1.2"},
        VersionCase{"NoAnswer", Answer({}), 0, std::string(kHead) + "\r\n\r\nFirmware Version: "},
        VersionCase{"OnlyFramingBytes", Answer({0x06, 0x22, 0x03, 0x27}), 4,
                    std::string(kHead) + "06 22 03 27 \r\n\r\nFirmware Version: "},
        // A zero inside the version adds nothing to the text.
        VersionCase{"ZeroInside", Answer({0x06, 0x22, 'A', 0x00, 'B', 0x03, 0x11}), 7,
                    std::string(kHead) + "06 22 41 00 42 03 11 \r\n\r\nFirmware Version: AB"},
        // Bytes beyond the reported count are not shown; a count above the
        // buffer is held to it.
        VersionCase{"CountLimits", Answer({0x06, 0x22, 'X', 0x03, 0x7F, 0x55}), 5,
                    std::string(kHead) + "06 22 58 03 7F \r\n\r\nFirmware Version: X"},
        VersionCase{"CountAboveCapacity", Answer({0x06, 0x22, 'X', 0x03, 0x7F}), 5000,
                    std::string(kHead) + "06 22 58 03 7F \r\n\r\nFirmware Version: X"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace utility
