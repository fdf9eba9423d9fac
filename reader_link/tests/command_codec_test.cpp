#include <gtest/gtest.h>

#include "reader_link/command_codec.h"

namespace readerlink {
namespace {

using Bytes = std::vector<uint8_t>;

// Hex text as the caller passes it (blanks already removed) to its frame.
Bytes HexFrame(const std::string& text) {
  Bytes bytes;
  uint32_t count = uint32_t(text.size());
  EXPECT_TRUE(HexToBytes(text, &bytes, &count)) << text;
  EXPECT_EQ(count, bytes.size());
  return BuildHexFrame(bytes);
}

TEST(CommandCodec, HexTextsGiveTheirFrames) {
  struct Case { std::string text; Bytes frame; };
  const Case cases[] = {
      {"5224", {0x02, 0x52, 0x24, 0x03, 0x77}},
      {"53240130", {0x02, 0x53, 0x24, 0x01, 0x30, 0x03, 0x47}},
      {"5222", {0x02, 0x52, 0x22, 0x03, 0x71}},
      {"522", {0x02, 0x52, 0x03, 0x53}},               // odd last digit dropped
      {"zz", {0x02, 0x00, 0x03, 0x01}},                // non-digits count as 0
      {"G11G", {0x02, 0x01, 0x10, 0x03, 0x10}},
      {"52\r\n24", {0x02, 0x52, 0x00, 0x24, 0x03, 0x77}},  // CR LF decodes as 00
      {"aBcD", {0x02, 0xAB, 0xCD, 0x03, 0x67}},
      {"7", {0x02, 0x03, 0x01}},                       // no payload at all
  };
  for (const Case& c : cases) EXPECT_EQ(HexFrame(c.text), c.frame) << c.text;
}

TEST(CommandCodec, TypedTextsGiveTheirFrames) {
  EXPECT_EQ(BuildTypedFrame("R1"), (Bytes{0x02, 0x52, 0x31, 0x0D, 0x03, 0x6F}));
  EXPECT_EQ(BuildTypedFrame("A"), (Bytes{0x02, 0x41, 0x0D, 0x03, 0x4D}));
  EXPECT_EQ(BuildTypedFrame(""), (Bytes{0x02, 0x0D, 0x03, 0x0C}));
  const std::string raw("a \r\n\xE9", 5);  // sent as it stands
  Bytes frame = BuildTypedFrame(raw);
  EXPECT_EQ(Bytes(frame.begin() + 1, frame.begin() + 6), Bytes(raw.begin(), raw.end()));
}

TEST(CommandCodec, HexToBytesLimits) {
  Bytes bytes;
  uint32_t count = 250;
  EXPECT_TRUE(HexToBytes(std::string(250, 'A'), &bytes, &count));
  EXPECT_EQ(count, kMaxHexPayloadBytes);
  EXPECT_EQ(HexFrame(std::string(250, '1')).size(), 128u);
  count = 251;  // the odd last character is ignored
  EXPECT_TRUE(HexToBytes(std::string(251, 'A'), &bytes, &count));
  EXPECT_EQ(count, kMaxHexPayloadBytes);

  struct Refused { std::string text; uint32_t count; bool haveBytes; };
  const Refused refused[] = {
      {std::string(252, 'A'), 252, true}, {"", 0, true}, {"52", 0, true},
      {"52", 3, true},  // more characters claimed than the text has
      {"52", 2, false},
  };
  for (const Refused& r : refused) {
    Bytes out = {0xEE};
    count = r.count;
    EXPECT_FALSE(HexToBytes(r.text, r.haveBytes ? &out : nullptr, &count)) << r.text.size();
    EXPECT_EQ(count, r.count);
    EXPECT_EQ(out, Bytes{0xEE});
  }
  EXPECT_FALSE(HexToBytes("52", &bytes, nullptr));
}

}  // namespace
}  // namespace readerlink
