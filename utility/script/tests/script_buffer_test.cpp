// Taking lines off the front of a script.
#include <gtest/gtest.h>

#include <vector>

#include "utility/script_buffer.h"

namespace utility {
namespace {

std::vector<std::string> AllLines(const std::string& text) {
  ScriptBuffer buffer;
  buffer.Assign(text);
  std::vector<std::string> lines;
  while (!buffer.Empty()) lines.emplace_back(buffer.TakeLine());
  return lines;
}

struct LinesCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

class TakeLineTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(TakeLineTest, SplitsAtEveryKindOfLineEnd) {
  EXPECT_EQ(AllLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TakeLineTest,
    ::testing::Values(
        LinesCase{"CrLf", "ab\r\ncd\r\n", {"ab", "cd"}},
        LinesCase{"LfOnly", "ab\ncd\n", {"ab", "cd"}},
        // A CR alone ends its line without eating the next line's first letter.
        LinesCase{"CrOnly", "ab\rcd\r", {"ab", "cd"}},
        LinesCase{"LastLineWithoutEnd", "ab\r\ncd", {"ab", "cd"}},
        LinesCase{"EmptyLines", "\r\n\r\nab", {"", "", "ab"}},
        LinesCase{"LfThenCr", "ab\n\rcd", {"ab", "", "cd"}},
        LinesCase{"NoLineEnd", "abc", {"abc"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptBuffer, EndIsSeenOnlyInTheUnconsumedText) {
  ScriptBuffer buffer;
  buffer.Assign("x END\r\nab\r\n");
  EXPECT_TRUE(buffer.ContainsEnd());
  EXPECT_FALSE(buffer.StartsWithEnd());
  buffer.TakeLine();
  EXPECT_FALSE(buffer.ContainsEnd());

  buffer.Assign("ab\r\nENDING\r\nEND");
  buffer.TakeLine();
  EXPECT_TRUE(buffer.StartsWithEnd());
  EXPECT_TRUE(buffer.ContainsEnd());
  buffer.Assign("end\r\nEnd");
  EXPECT_FALSE(buffer.ContainsEnd());
}

TEST(ScriptBuffer, SkipAndConsumedText) {
  ScriptBuffer buffer;
  buffer.Assign("head\r\nab\r\ncd", 6);
  EXPECT_EQ(buffer.Remaining(), "ab\r\ncd");
  EXPECT_EQ(buffer.TakeLine(), "ab");
  EXPECT_EQ(buffer.ConsumedSince(0), "head\r\nab\r\n");
  EXPECT_EQ(buffer.ConsumedSince(6), "ab\r\n");
  EXPECT_EQ(buffer.ConsumedSince(99), "");
  buffer.Assign("ab", 10);
  EXPECT_TRUE(buffer.Empty());
}

}  // namespace
}  // namespace utility
