// The value byte read back from an exchange record, and the words a review
// shows for it.
#include <gtest/gtest.h>

#include "utility/command_sender.h"
#include "utility/setting_codes.h"

namespace utility {
namespace {

// The record SendHexCommand leaves for a review whose answer is
// 06 <value> 03 <lrc>.
std::string RecordWithValue(uint8_t value) {
  const uint8_t lrc = static_cast<uint8_t>(0x06 ^ value ^ 0x03);
  char answer[32];
  std::snprintf(answer, sizeof answer, "06 %02X 03 %02X ", value, lrc);
  return ExchangeRecord({0x02, 0x52, 0x24, 0x03, 0x77}, answer);
}

struct ReviewCase {
  ReviewKind kind;
  uint8_t value;
  const char* line;
};

class ReviewLineTest : public ::testing::TestWithParam<ReviewCase> {};

TEST_P(ReviewLineTest, ReadsValueFromRecordAndNamesIt) {
  const ReviewCase& c = GetParam();
  const std::string record = RecordWithValue(c.value);
  EXPECT_EQ(ReviewValueFromRecord(record), c.value);
  EXPECT_EQ(ReviewLine(c.kind, ReviewValueFromRecord(record)), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReviewLineTest,
    ::testing::Values(
        ReviewCase{ReviewKind::Language, 0x37, "\r\nCurrent language setting is French"},
        ReviewCase{ReviewKind::Language, 0x30, "\r\nCurrent language setting is English (US)"},
        ReviewCase{ReviewKind::Language, 0x3A, "\r\nCurrent language setting is Universal"},
        ReviewCase{ReviewKind::Language, 0x2F, "\r\nCurrent language setting is "},
        ReviewCase{ReviewKind::Language, 0x3B, "\r\nCurrent language setting is "},
        ReviewCase{ReviewKind::PollingInterval, 0xFF, "\r\nHID KB polling setting is 255"},
        ReviewCase{ReviewKind::PollingInterval, 0x0A, "\r\nHID KB polling setting is 10"},
        ReviewCase{ReviewKind::PollingInterval, 0x00, "\r\nHID KB polling setting is 0"},
        ReviewCase{ReviewKind::TurboSpeed, 0x30, "\r\nTurbo speed setting is Off"},
        ReviewCase{ReviewKind::TurboSpeed, 0x31, "\r\nTurbo speed setting is On"},
        ReviewCase{ReviewKind::TurboSpeed, 0x01, "\r\nTurbo speed setting is "}));

TEST(ReviewValueFromRecord, EmptyAnswerCountsAsZero) {
  // With no answer the two characters taken are letters of "Response:".
  EXPECT_EQ(ReviewValueFromRecord(ExchangeRecord({0x02, 0x52, 0x14, 0x03, 0x47}, "")), 0);
  // A text too short to hold a value is not read outside its bounds.
  EXPECT_EQ(ReviewValueFromRecord(""), 0);
  EXPECT_EQ(ReviewValueFromRecord("AB 03 77 \r\n\r"), 0);
  EXPECT_EQ(ReviewValueFromRecord("AB 03 77 \r\n\r\n"), 0xAB);
  EXPECT_EQ(ReviewValueFromRecord("ab 03 77 \r\n\r\n"), 0xAB);
}

TEST(LanguageTable, MenuIdentifiersGiveTheirWriteCommands) {
  ASSERT_EQ(LanguageByMenuId(32855)->writeCommand, std::string("53 24 01 30"));
  ASSERT_EQ(LanguageByMenuId(32865)->writeCommand, std::string("53 24 01 3A"));
  EXPECT_EQ(LanguageByMenuId(32854), nullptr);
  EXPECT_EQ(LanguageByMenuId(32866), nullptr);
  // Every write carries its own value byte, and the review names it back.
  for (const LanguageEntry& language : kLanguages) {
    const LanguageEntry* byId = LanguageByMenuId(language.menuId);
    ASSERT_EQ(byId, &language);
    EXPECT_EQ(FormatWriteCommand(0x24, language.value), language.writeCommand);
    EXPECT_EQ(LanguageName(language.value), language.name);
  }
}

TEST(FormatWriteCommand, TwoUpperCaseDigits) {
  EXPECT_EQ(FormatWriteCommand(kPollingFunctionCode, 255), "53 14 01 FF");
  EXPECT_EQ(FormatWriteCommand(kPollingFunctionCode, 1), "53 14 01 01");
  EXPECT_EQ(FormatWriteCommand(kTurboFunctionCode, 0), "53 12 01 00");
  EXPECT_EQ(FormatWriteCommand(kTurboFunctionCode, 1), "53 12 01 01");
}

}  // namespace
}  // namespace utility
