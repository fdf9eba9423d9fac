// The link against the simulated reader of the host layer, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>

#include "hidhost/sim.h"
#include "reader_link/command_codec.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"

namespace readerlink {
namespace {

using hidhost::sim::SimulatedHost;
using hidhost::sim::VirtualClock;
using Sleeps = std::vector<uint32_t>;

const std::vector<uint8_t> kReviewLanguage = {0x02, 0x52, 0x24, 0x03, 0x77};

class SimulatedReaderTest : public ::testing::Test {
 protected:
  // `devices` is the JSON list of devices.
  void Install(const std::string& devices) {
    std::string error;
    host_ = SimulatedHost::CreateFromJson("{\"devices\": [" + devices + "]}", "test", clock_, &error);
    ASSERT_EQ(error, "");
    hidhost::InstallHost(host_);
    host_->EnumerateInterfaces(&paths_);
    clock_->ClearSleeps();
  }
  size_t Requests(const std::string& kind) {
    auto lines = host_->Transcript();
    return size_t(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(" " + kind + " ") != std::string::npos || line.ends_with(" " + kind);
    }));
  }

  std::shared_ptr<VirtualClock> clock_ = std::make_shared<VirtualClock>();
  std::shared_ptr<SimulatedHost> host_;
  std::vector<std::string> paths_;
};

TEST_F(SimulatedReaderTest, SendScanReachesTheConfigurationInterface) {
  Install(R"({"preset": "reader"})");
  std::string text;
  const int ran = ScanAndExchange([&](ReaderDevice& d, const ReaderInterface&) {
    const InterfaceExchange result = d.Exchange(kReviewLanguage);
    if (result.answered) text = HexBytesText(result.answer);
  }, {});
  EXPECT_EQ(ran, 2);  // the keyboard interface matches too, but takes no frame
  EXPECT_EQ(text, "02 06 30 03 37 ");
  EXPECT_EQ(ReaderGeneration, kGenerationCurrent);
  const auto transcript = host_->Transcript();
  ASSERT_EQ(transcript.size(), 1 + kPollReads);
  EXPECT_EQ(transcript[0], paths_[1] + " SET_FEATURE 00 02 52 24 03 77 00 00 00");
  EXPECT_EQ(Requests("GET_FEATURE"), kPollReads);
  Sleeps expected = {kExchangeLeadMs, kExchangeLeadMs, kAnswerWaitMs};
  expected.resize(expected.size() + kPollReads, kPollWaitMs);
  EXPECT_EQ(clock_->Sleeps(), expected);
}

TEST_F(SimulatedReaderTest, ExchangeFrameCountsRetriesAndOverflows) {
  struct Case {
    std::string options;  // of the reader preset
    int32_t index;        // 0: the keyboard interface, 1: the configuration one
    uint32_t capacity;
    bool result;
    uint32_t count;
    size_t sets, gets;
    Sleeps lead;          // the sleeps before the first read's
    size_t pollSleeps;
  };
  const std::string p7 = R"("feature_report_length": 8, )";
  const Case cases[] = {
      {"", 1, 1024, true, 776, 1, 100, {300}, 100},  // answer from the 4th read on
      {R"("answer_delay_reads": 2)", 1, 1024, true, 784, 1, 100, {300}, 100},
      // Empty reports past the capacity are dropped: no overflow.
      {p7 + R"("answer_delay_reads": 0)", 1, 100, true, 98, 1, 100, {300}, 100},
      {p7 + R"("answer_delay_reads": 50)", 1, 350, true, 350, 1, 100, {300}, 100},
      {p7 + R"("answer_delay_reads": 50)", 1, 349, true, 343, 1, 100, {300}, 100},
      {R"("feature_report_length": 64, "answer_delay_reads": 0)", 1, 1024, true, 1008, 1, 100, {300}, 100},
      {R"("fail_set_feature": 2)", 1, 1024, true, 776, 3, 100, {10, 10, 300}, 100},
      {R"("fail_set_feature": 3)", 1, 1024, false, 0, 3, 0, {10, 10, 10}, 0},
      {R"("fail_get_feature": 100)", 1, 1024, false, 0, 1, 100, {300}, 100},
      {"", 0, 1024, false, 0, 0, 0, {}, 0},  // no feature report: unusable
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options + " capacity " + std::to_string(c.capacity));
    Install(R"({"preset": "reader")" + (c.options.empty() ? "" : ", " + c.options) + "}");
    ReaderDevice device;
    ASSERT_TRUE(device.OpenByIndex(c.index));
    std::vector<uint8_t> answer(c.capacity);
    uint32_t count = c.capacity;
    EXPECT_EQ(device.ExchangeFrame(kReviewLanguage.data(), 5, answer.data(), &count), c.result);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(Requests("SET_FEATURE"), c.sets);
    EXPECT_EQ(Requests("GET_FEATURE"), c.gets);
    Sleeps expected = c.lead;
    expected.resize(expected.size() + c.pollSleeps, kPollWaitMs);
    EXPECT_EQ(clock_->Sleeps(), expected);
  }
}

TEST_F(SimulatedReaderTest, FrameIsCutIntoReportsWithIdZero) {
  struct Case { size_t length; std::vector<std::string> reports; };
  const Case cases[] = {
      {0, {}},
      {8, {"00 01 02 03 04 05 06 07 08"}},
      {9, {"00 01 02 03 04 05 06 07 08", "00 09 00 00 00 00 00 00 00"}},
  };
  for (const Case& c : cases) {
    Install(R"({"preset": "reader"})");
    ReaderDevice device;
    ASSERT_TRUE(device.OpenByIndex(1));
    const std::vector<uint8_t> frame = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint32_t count = 1024;
    std::vector<uint8_t> answer(count);
    device.ExchangeFrame(frame.data(), uint32_t(c.length), answer.data(), &count);
    std::vector<std::string> reports;
    for (const std::string& line : host_->Transcript()) {
      const auto at = line.find(" SET_FEATURE ");
      if (at != std::string::npos) reports.push_back(line.substr(at + 13));
    }
    EXPECT_EQ(reports, c.reports) << c.length;
    EXPECT_EQ(Requests("GET_FEATURE"), kPollReads);
  }
}

TEST_F(SimulatedReaderTest, LongReportsKeepTheAnswer) {
  // 12 bytes and more: the empty reports after the answer exceed 1024 bytes.
  for (const char* length : {"12", "64"}) {
    Install(std::string(R"({"preset": "reader", "answer_delay_reads": 0, "feature_report_length": )") +
            length + "}");
    ReaderDevice device;
    ASSERT_TRUE(device.OpenByIndex(1));
    const InterfaceExchange result = device.Exchange(kReviewLanguage);
    EXPECT_TRUE(result.answered) << length;
    EXPECT_FALSE(result.answer.empty()) << length;
    EXPECT_EQ(device.GetHandle(), nullptr);
  }
}

TEST_F(SimulatedReaderTest, ReaderProbedLastSetsTheGeneration) {
  struct Case { std::string devices; int32_t generation; };
  const Case cases[] = {
      {R"({"preset": "legacy-reader"}, {"preset": "reader"})", kGenerationCurrent},
      {R"({"preset": "reader"}, {"preset": "legacy-reader"})", kGenerationLegacy},
  };
  for (const Case& c : cases) {
    Install(c.devices);
    EXPECT_EQ(ScanForReaders({}), 4);
    EXPECT_EQ(ReaderGeneration, c.generation) << c.devices;
  }
}

TEST_F(SimulatedReaderTest, SendScanWritesNoFrameToAnOlderReader) {
  for (const char* devices : {R"({"preset": "legacy-reader"}, {"preset": "reader"})",
                              R"({"preset": "reader"}, {"preset": "legacy-reader"})"}) {
    SCOPED_TRACE(devices);
    Install(devices);
    std::vector<int32_t> reached;
    ScanAndExchange([&](ReaderDevice& d, const ReaderInterface& reader) {
      reached.push_back(reader.position);
      d.Exchange(kReviewLanguage);
    }, {});
    ASSERT_EQ(reached.size(), 2u);  // the current reader's two interfaces
    for (const std::string& line : host_->Transcript()) {
      const std::string path = line.substr(0, line.find(' '));
      EXPECT_TRUE(path == paths_[size_t(reached[0])] || path == paths_[size_t(reached[1])]) << line;
    }
  }
}

}  // namespace
}  // namespace readerlink
