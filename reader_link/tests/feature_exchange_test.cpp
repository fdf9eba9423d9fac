#include <gtest/gtest.h>

#include <numeric>

#include "reader_link/reader_device.h"
#include "scripted_host.h"

namespace readerlink::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using Sleeps = std::vector<uint32_t>;

ScriptedInterface Reader(uint16_t payload) {
  ScriptedInterface i;
  i.payload = payload;
  return i;
}

// 10 ms after each of the reads that ran.
Sleeps PollSleeps(size_t reads) { return Sleeps(reads, kPollWaitMs); }

Sleeps Concat(Sleeps a, const Sleeps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Frame(size_t length) {
  Bytes frame(length);
  std::iota(frame.begin(), frame.end(), uint8_t{1});
  return frame;
}

class ExchangeTest : public ::testing::Test {
 protected:
  void Use(ScriptedInterface reader) {
    device_.Close();
    host_ = InstallScriptedHost({std::move(reader)});
    ASSERT_TRUE(device_.OpenByIndex(0));
  }
  ScriptedInterface& reader() { return host_->at(0); }
  Sleeps sleeps() { return host_->virtualClock().Sleeps(); }

  std::shared_ptr<ScriptedHost> host_;
  ReaderDevice device_;
};

TEST_F(ExchangeTest, FrameIsCutIntoReportsWithIdZero) {
  struct Case { size_t length; std::vector<Bytes> reports; };
  const Case cases[] = {
      {0, {}},
      {8, {{0, 1, 2, 3, 4, 5, 6, 7, 8}}},
      {9, {{0, 1, 2, 3, 4, 5, 6, 7, 8}, {0, 9, 0, 0, 0, 0, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    Use(Reader(8));
    Bytes answer(64);
    uint32_t count = 64;
    EXPECT_TRUE(device_.ExchangeFrame(Frame(c.length).data(), uint32_t(c.length), answer.data(), &count));
    EXPECT_EQ(reader().written, c.reports);
    EXPECT_EQ(reader().reads, kPollReads);
    EXPECT_EQ(count, 0u);  // the reader never answered
    EXPECT_EQ(sleeps(), Concat({kAnswerWaitMs}, PollSleeps(kPollReads)));
    EXPECT_NE(device_.GetHandle(), nullptr);  // the open state is left as found
    device_.Close();
  }
}

TEST_F(ExchangeTest, ZeroReportsInsideTheAnswerAreKept) {
  ScriptedInterface r = Reader(8);
  r.answers[1] = {0, 0, 0, 0, 0, 0, 0, 0x41};  // only the last data byte is set
  r.answers[3] = {0x0A};
  Use(r);
  std::string text;
  EXPECT_TRUE(device_.ExchangeAsText(Frame(5).data(), 5, &text));
  EXPECT_EQ(text, "00 00 00 00 00 00 00 41 00 00 00 00 00 00 00 00 0A ");
}

TEST_F(ExchangeTest, AnswerThatWouldOverflowStopsPolling) {
  struct Case { uint16_t payload; uint32_t capacity; uint32_t firstRead; uint32_t count; bool result; uint32_t reads; };
  const Case cases[] = {
      {7, 100, 1, 98, false, 15},    // the 15th append would pass 100
      {7, 100, 90, 77, true, 100},   // reads 90 to 100 fit
      {7, 77, 90, 77, true, 100},    // and fill the capacity exactly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.payload);
    ScriptedInterface r = Reader(c.payload);
    for (uint32_t n = c.firstRead; n <= kPollReads; ++n) r.answers[n] = {0x30};
    Use(r);
    Bytes answer(c.capacity);
    uint32_t count = c.capacity;
    EXPECT_EQ(device_.ExchangeFrame(Frame(5).data(), 5, answer.data(), &count), c.result);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(reader().reads, c.reads);
    EXPECT_EQ(sleeps(), Concat({kAnswerWaitMs}, PollSleeps(c.result ? c.reads : c.reads - 1)));
    device_.Close();
  }
}

TEST_F(ExchangeTest, SendFrameWritesEveryReportAndCloses) {
  struct Case { std::vector<bool> writes; bool result; size_t calls; };
  const Case cases[] = {
      {{false, false, false}, true, 4},        // first report lost, the last accepted
      {{true, false, false, false}, false, 4}, // last report lost
  };
  for (const Case& c : cases) {
    ScriptedInterface r = Reader(8);
    r.writes = c.writes;
    Use(r);
    EXPECT_EQ(device_.SendFrame(Frame(9).data(), 9), c.result);
    EXPECT_EQ(reader().written.size(), c.calls);
    EXPECT_EQ(reader().reads, 0u);
    EXPECT_EQ(device_.GetHandle(), nullptr);
  }
  Use(Reader(8));
  EXPECT_FALSE(device_.SendFrame(nullptr, 0));
}

TEST_F(ExchangeTest, UnusableCallsWriteNothing) {
  Bytes answer(1024);
  uint32_t count = 1024;
  // Closed device.
  host_ = InstallScriptedHost({Reader(8)});
  EXPECT_FALSE(device_.ExchangeFrame(Frame(5).data(), 5, answer.data(), &count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(device_.SendFrame(Frame(5).data(), 5));

  // No count.
  Use(Reader(8));
  EXPECT_FALSE(device_.ExchangeFrame(Frame(5).data(), 5, answer.data(), nullptr));

  // A frame longer than the 128-byte command buffer.
  std::string text;
  EXPECT_FALSE(device_.ExchangeAsText(Frame(129).data(), 129, &text));
  EXPECT_FALSE(device_.ExchangeAsText(Frame(5).data(), -1, &text));
  EXPECT_TRUE(reader().written.empty());
  EXPECT_TRUE(device_.ExchangeAsText(Frame(128).data(), 128, &text));
  EXPECT_EQ(reader().written.size(), 16u);

  // An interface without a feature report: no division, no loop, no read.
  for (uint16_t payload : {0, 1}) {
    Use(Reader(payload));
    count = 1024;
    const bool usable = payload > 0;
    EXPECT_EQ(device_.ExchangeFrame(Frame(5).data(), 5, answer.data(), &count), usable);
    if (usable) continue;
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(device_.SendFrame(Frame(5).data(), 5));
    EXPECT_TRUE(reader().written.empty());
    EXPECT_EQ(reader().reads, 0u);
    EXPECT_TRUE(sleeps().empty());
  }

  // Every read failing: no answer, false, whatever the failed reads left.
  ScriptedInterface r = Reader(8);
  r.readsFail = true;
  r.answers[1] = {0x41};
  Use(r);
  count = 1024;
  EXPECT_FALSE(device_.ExchangeFrame(Frame(5).data(), 5, answer.data(), &count));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(reader().reads, kPollReads);
}

}  // namespace
}  // namespace readerlink::testing
