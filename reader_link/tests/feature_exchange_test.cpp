// Exchange cases the simulated reader cannot play: answers with zero reports
// inside them, late write refusals, reads that fail.
#include <gtest/gtest.h>

#include "reader_link/reader_device.h"
#include "scripted_host.h"

namespace readerlink::testing {
namespace {

const std::vector<uint8_t> kFrame9 = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // two reports of 8

class ExchangeTest : public ::testing::Test {
 protected:
  ScriptedInterface& Use(ScriptedInterface reader) {
    device_.Close();
    host_ = InstallScriptedHost({std::move(reader)});
    EXPECT_TRUE(device_.OpenByIndex(0));
    return host_->at(0);
  }

  std::shared_ptr<ScriptedHost> host_;
  ReaderDevice device_;
};

TEST_F(ExchangeTest, ZeroReportsInsideTheAnswerAreKept) {
  ScriptedInterface r;
  r.answers[1] = {0, 0, 0, 0, 0, 0, 0, 0x41};  // only the last data byte is set
  r.answers[3] = {0x0A};
  Use(r);
  const InterfaceExchange result = device_.Exchange(kFrame9);
  EXPECT_TRUE(result.written && result.answered);
  EXPECT_EQ(HexBytesText(result.answer), "00 00 00 00 00 00 00 41 00 00 00 00 00 00 00 00 0A ");
  EXPECT_EQ(device_.GetHandle(), nullptr);
}

TEST_F(ExchangeTest, DataBeyondTheCapacityOverflows) {
  ScriptedInterface r;
  r.answers[1] = {0x06};
  r.answers[5] = {0x41};  // the 5th report does not fit 32 bytes
  Use(r);
  std::vector<uint8_t> answer(32);
  uint32_t count = 32;
  EXPECT_FALSE(device_.ExchangeFrame(kFrame9.data(), 9, answer.data(), &count));
  EXPECT_EQ(count, 32u);
  EXPECT_EQ(host_->at(0).reads, 5u);
}

TEST_F(ExchangeTest, SendFrameWritesEveryReportAndCloses) {
  struct Case { std::vector<bool> writes; bool result; size_t calls; };
  const Case cases[] = {
      {{false, false, false}, true, 4},         // first report lost, the last accepted
      {{true, false, false, false}, false, 4},  // the last report lost
  };
  for (const Case& c : cases) {
    ScriptedInterface r;
    r.writes = c.writes;
    ScriptedInterface& reader = Use(r);
    EXPECT_EQ(device_.SendFrame(kFrame9.data(), 9), c.result);
    EXPECT_EQ(reader.written.size(), c.calls);
    EXPECT_EQ(reader.reads, 0u);
    EXPECT_EQ(device_.GetHandle(), nullptr);
  }
  Use({});
  EXPECT_FALSE(device_.SendFrame(nullptr, 0));
}

TEST_F(ExchangeTest, CallsThatCannotExchangeWriteNothing) {
  std::vector<uint8_t> answer(1024);
  uint32_t count = 1024;
  host_ = InstallScriptedHost({{}});  // not opened
  EXPECT_FALSE(device_.ExchangeFrame(kFrame9.data(), 9, answer.data(), &count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(device_.SendFrame(kFrame9.data(), 9));

  ScriptedInterface& reader = Use({});
  EXPECT_FALSE(device_.ExchangeFrame(kFrame9.data(), 9, answer.data(), nullptr));
  std::vector<uint8_t> frame(129, 0x41);
  EXPECT_FALSE(device_.Exchange(frame).written);
  EXPECT_TRUE(reader.written.empty());
  ASSERT_TRUE(device_.OpenByIndex(0));
  EXPECT_TRUE(device_.Exchange(std::span(frame).first(128)).written);  // the largest that fits
  EXPECT_EQ(reader.written.size(), 16u);

  // Every read failing: no answer, whatever the failed reads left behind.
  ScriptedInterface r;
  r.readsFail = true;
  r.answers[1] = {0x41};
  Use(r);
  count = 1024;
  EXPECT_FALSE(device_.ExchangeFrame(kFrame9.data(), 9, answer.data(), &count));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(host_->at(0).reads, kPollReads);
}

}  // namespace
}  // namespace readerlink::testing
