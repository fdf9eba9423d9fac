// The value of a review, read from the answer bytes, against the way it was
// once read: from two fixed character positions of the history box's text.
// Both must agree on every answer a reader can give, short, padded and
// malformed ones included.
#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "reader_link/exchange_result.h"
#include "utility/command_sender.h"
#include "utility/setting_codes.h"

namespace utility {
namespace {

// The answer as the history box used to show it: "%02X " per received byte,
// trailing zero bytes dropped but the first byte always kept.
std::string OldAnswerText(const std::vector<uint8_t>& received) {
  size_t shown = received.size();
  while (shown > 1 && received[shown - 1] == 0) --shown;
  return readerlink::HexBytesText(std::span(received).first(shown));
}

int OldDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

int OldHexAt(std::string_view text, size_t at) {
  if (!std::isxdigit(static_cast<unsigned char>(text[at])) ||
      !std::isxdigit(static_cast<unsigned char>(text[at + 1]))) {
    return -1;
  }
  return 16 * OldDigit(text[at]) + OldDigit(text[at + 1]);
}

// The old rule: the digits 13 and 12 characters before the end of the
// record, or 10 and 9 when the record ends with "02 06 VV 03 " whose zero
// LRC was trimmed.
uint8_t OldValueFromRecord(std::string_view record) {
  const size_t n = record.size();
  if (n >= 16 && record.substr(n - 4) == "\r\n\r\n") {
    const size_t first = n - 16;
    int bytes[4], frameXor = 0;
    bool whole = true;
    for (int i = 0; i < 4; ++i) {
      bytes[i] = OldHexAt(record, first + 3 * i);
      whole = whole && bytes[i] >= 0 && record[first + 3 * i + 2] == ' ';
      frameXor ^= bytes[i];
    }
    if (whole && bytes[0] == 0x02 && bytes[1] == 0x06 && bytes[3] == 0x03 && frameXor == 0) {
      return static_cast<uint8_t>(OldHexAt(record, n - 10));
    }
  }
  if (n < 13) return 0;
  return static_cast<uint8_t>(16 * OldDigit(record[n - 13]) + OldDigit(record[n - 12]));
}

std::vector<uint8_t> ReviewAnswer(uint8_t value) {
  std::vector<uint8_t> answer = {0x02, 0x06, value, 0x03};
  answer.push_back(static_cast<uint8_t>(0x02 ^ 0x06 ^ value ^ 0x03));
  return answer;
}

// Answers of every shape: each well-formed review value, alone and padded;
// every answer of up to two bytes over a set of telling bytes; and random
// answers of up to twelve bytes, half of them followed by padding.
std::vector<std::vector<uint8_t>> GeneratedAnswers() {
  std::vector<std::vector<uint8_t>> answers = {{}};
  for (int value = 0; value < 256; ++value) {
    std::vector<uint8_t> answer = ReviewAnswer(static_cast<uint8_t>(value));
    answers.push_back(answer);
    answer.resize(answer.size() + 7, 0);
    answers.push_back(answer);
    answers.push_back({0x06, static_cast<uint8_t>(value), 0x03, 0x00});  // no STX
    answers.push_back({0x02, 0x15, static_cast<uint8_t>(value)});         // NAK
  }
  const uint8_t telling[] = {0x00, 0x02, 0x03, 0x06, 0x15, 0x30, 0x3A, 0x41, 0xFF};
  for (uint8_t a : telling) {
    answers.push_back({a});
    for (uint8_t b : telling) answers.push_back({a, b});
  }
  std::mt19937 random(25);
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> answer(random() % 13);
    for (uint8_t& byte : answer) byte = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random());
    if (i % 2) answer.resize(answer.size() + random() % 9, 0);
    answers.push_back(answer);
  }
  return answers;
}

TEST(ReviewValue, BytesGiveTheValueTheRecordTextGave) {
  const std::vector<uint8_t> frame = {0x02, 0x52, 0x24, 0x03, 0x77};
  for (const std::vector<uint8_t>& received : GeneratedAnswers()) {
    const std::string oldRecord =
        "Command:  " + readerlink::HexBytesText(frame) + "\r\nResponse:  " +
        OldAnswerText(received) + "\r\n\r\n";
    const uint8_t expected = OldValueFromRecord(oldRecord);
    SCOPED_TRACE(oldRecord);
    EXPECT_EQ(ReviewValue(received), expected);

    // The answer as the exchange keeps it, and the record made from it.
    readerlink::ExchangeResult exchange{frame, {{"p", true, true, {}}}};
    const std::span<const uint8_t> kept = readerlink::WithoutPadding(received);
    exchange.interfaces[0].answer.assign(kept.begin(), kept.end());
    EXPECT_EQ(ReviewValue(exchange.answer()), expected);
    if (!kept.empty()) {
      EXPECT_EQ(ExchangeRecord(exchange), oldRecord);
    }
  }
}

}  // namespace
}  // namespace utility
