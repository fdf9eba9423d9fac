// The simulated readers' command protocols, driven through feature reports.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace hidhost::sim::testing {
namespace {

// The utility reads a review's value byte from the exchange text, 13 and 12
// characters before its end; the simulated answers must fit that layout.
uint8_t DecodeReviewValue(const std::vector<uint8_t>& answer) {
  std::string text = Hex(answer) + " \r\n\r\n";
  auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  return static_cast<uint8_t>(digit(text[text.size() - 13]) * 16 + digit(text[text.size() - 12]));
}

struct Step {
  std::vector<uint8_t> frame;
  const char* answer;    // hex of the answer frame
  int reviewValue;       // value byte the utility decodes, -1 when not a review
  const char* typed;     // keyboard text, "" for none
};

std::vector<Step> Session() {
  return {
      {Frame({0x52, 0x24}), "02 06 30 03 37", '0', ""},                  // review language
      {Frame({0x53, 0x24, 0x01, 0x37}), "02 06 03 07", -1, ""},          // write French
      {Frame({0x52, 0x24}), "02 06 37 03 30", 0x37, ""},
      {Frame({0x53, 0x24, 0x01, 0x3B}), "02 15 03 14", -1, ""},          // out of range
      {Frame({0x52, 0x14}), "02 06 08 03 0F", 8, ""},                    // polling interval
      {Frame({0x53, 0x14, 0x01, 0x00}), "02 15 03 14", -1, ""},          // 0 refused
      {Frame({0x53, 0x14, 0x01, 0x03}), "02 06 03 07", -1, ""},          // data byte equal to ETX
      {Frame({0x52, 0x14}), "02 06 03 03 04", 3, ""},
      {Frame({0x53, 0x14, 0x01, 0xFF}), "02 06 03 07", -1, ""},
      {Frame({0x52, 0x14}), "02 06 FF 03 F8", 0xFF, ""},
      {Frame({0x52, 0x12}), "02 06 30 03 37", '0', ""},                  // turbo off
      {Frame({0x53, 0x12, 0x01, 0x01}), "02 06 03 07", -1, ""},          // stored as '1'
      {Frame({0x52, 0x12}), "02 06 31 03 36", '1', ""},
      {Frame({0x53, 0x12, 0x01, 0x00}), "02 06 03 07", -1, ""},          // zero data byte
      {Frame({0x52, 0x12}), "02 06 30 03 37", '0', ""},
      {Frame({0x53, 0x12, 0x01, 0x02}), "02 15 03 14", -1, ""},
      {Frame({0x52, 0x22}),
       "02 06 4B 41 56 52 4F 20 4B 42 20 56 32 2E 31 35 03 01", -1, ""},  // "KAVRO KB V2.15"
      {Frame({0x52, 0x99}), "02 15 03 14", -1, ""},                      // unknown function
      {Frame({0x41}), "02 15 03 14", -1, ""},                            // unknown command
      {{0x02, 0x52, 0x24, 0x03, 0x78}, "02 15 03 14", -1, ""},           // bad LRC
      {TypedFrame("R1"), "02 06 03 07", -1, ""},                         // typed: ACK
      {TypedFrame("RY7"), "02 06 03 07", -1, "RY7 OK\r"},                // 'Y' second: types too
      {Frame({0x52, 0x24}), "02 06 37 03 30", 0x37, ""},                 // settings kept
  };
}

class ReaderSession : public ::testing::TestWithParam<int> {};

TEST_P(ReaderSession, ReviewAndWriteCommandsAnswerInFeatureReports) {
  const int length = GetParam();
  TestHost t = MakeJsonHost(R"({"devices": [{"preset": "reader", "feature_report_length": )" +
                            std::to_string(length) + "}]}");
  std::string typed;
  t.host->SetKeyboardSink([&typed](const std::string& text) { typed += text; });
  auto device = OpenConfigInterface(*t.host, 0x2420);
  ASSERT_TRUE(device);
  int stepNo = 0;
  for (const Step& step : Session()) {
    SCOPED_TRACE("step " + std::to_string(stepNo++) + " frame " + Hex(step.frame));
    typed.clear();
    std::vector<uint8_t> answer = Exchange(*device, step.frame, 40);
    EXPECT_EQ(Hex(answer), step.answer);
    if (step.reviewValue >= 0) {
      EXPECT_EQ(DecodeReviewValue(answer), step.reviewValue);
    }
    EXPECT_EQ(typed, step.typed);
  }
}

INSTANTIATE_TEST_SUITE_P(FeatureReportLengths, ReaderSession, ::testing::Values(2, 4, 9, 64),
                         [](const auto& info) { return "Length" + std::to_string(info.param); });

TEST(Reader, AnswerFollowsThreeEmptyReadsOneReportPerRead) {
  TestHost t = MakePresetHost("reader");
  auto device = OpenConfigInterface(*t.host, 0x2420);
  ASSERT_TRUE(device);
  // 02 52 22 03 71 fits one 9-byte report.
  uint8_t report[9] = {0, 0x02, 0x52, 0x22, 0x03, 0x71};
  ASSERT_TRUE(device->SetFeature(report, sizeof report));
  std::vector<std::string> reads;
  for (int i = 0; i < 8; ++i) {
    uint8_t in[9] = {0xEE};
    ASSERT_TRUE(device->GetFeature(in, sizeof in));
    reads.push_back(Hex({in, in + 9}));
  }
  const std::string empty = "00 00 00 00 00 00 00 00 00";
  EXPECT_EQ(reads[0], empty);
  EXPECT_EQ(reads[2], empty);
  EXPECT_EQ(reads[3], "00 02 06 4B 41 56 52 4F 20");  // "KAVRO "
  EXPECT_EQ(reads[4], "00 4B 42 20 56 32 2E 31 35");  // "KB V2.15"
  EXPECT_EQ(reads[5], "00 03 01 00 00 00 00 00 00");
  EXPECT_EQ(reads[6], empty);
  EXPECT_EQ(reads[7], empty);
}

TEST(Reader, OverridesSetTheInitialSettingsAndAnswerDelay) {
  TestHost t = MakeJsonHost(R"({"devices": [{"preset": "reader", "language": "9", "polling_interval": 10,
      "turbo_speed": 1, "version_text": "X1", "answer_delay_reads": 0}]})");
  auto device = OpenConfigInterface(*t.host, 0x2420);
  ASSERT_TRUE(device);
  EXPECT_EQ(Exchange(*device, Frame({0x52, 0x24}), 1).at(2), '9');  // first read answers
  EXPECT_EQ(Exchange(*device, Frame({0x52, 0x14}), 1).at(2), 10);
  EXPECT_EQ(Exchange(*device, Frame({0x52, 0x12}), 1).at(2), '1');
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x22}), 2)), "02 06 58 31 03 6E");
}

TEST(Reader, AFrameLeftUnfinishedIsDroppedWhenTheNextOneStarts) {
  TestHost t = MakePresetHost("reader");
  auto device = OpenConfigInterface(*t.host, 0x2420);
  uint8_t broken[9] = {0, 0x02, 0x52, 0x24};  // no ETX, zero padding after it
  ASSERT_TRUE(device->SetFeature(broken, sizeof broken));
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x24}))), "02 06 30 03 37");
}

TEST(LegacyReader, TypesAReplyLineAfterACarriageReturnOnTheSetupItem) {
  TestHost t = MakePresetHost("both-readers");
  std::string typed;
  auto setup = t.host->Open(Paths(*t.host).at(0), Access::Query);
  ASSERT_TRUE(setup);
  for (char c : std::string("AB")) {  // typed before a sink exists: dropped
    uint8_t report[2] = {0, static_cast<uint8_t>(c)};
    ASSERT_TRUE(setup->SetFeature(report, 2));
  }
  uint8_t cr[2] = {0, '\r'};
  ASSERT_TRUE(setup->SetFeature(cr, 2));
  t.host->SetKeyboardSink([&typed](const std::string& text) { typed += text; });
  for (char c : std::string("%E1\r")) {
    uint8_t report[2] = {0, static_cast<uint8_t>(c)};
    ASSERT_TRUE(setup->SetFeature(report, 2));
    if (c == '1') {
      EXPECT_EQ(typed, "");
    }
  }
  EXPECT_EQ(typed, "%E1 OK\r");
  uint8_t back[2] = {0, 0};
  ASSERT_TRUE(setup->GetFeature(back, 2));
  EXPECT_EQ(back[1], '\r');  // the item reads back the last value written
}

}  // namespace
}  // namespace hidhost::sim::testing
