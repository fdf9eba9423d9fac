// Path text: parsing, ordinal paths and their conversion.
#include <cstring>
#include <string>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

// Node 0 (ff00:01) has two children ff00:02 (nodes 1 and 2). Node 2 holds
// feature items ff00:05 of reports 3 and 5, then an input item ff00:05 of
// report 4 (feature items are listed first). Node 1 holds feature ff00:06.
SimDevice TwinCollections() {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .Usage(0x02).Collection(0x02)
                     .ReportId(6).Field(8, 1, 0, 255).Usage(0x06).Feature()
                     .EndCollection()
                     .Usage(0x02).Collection(0x02)
                     .ReportId(4).Usage(0x05).Input()
                     .ReportId(3).Usage(0x05).Feature()
                     .ReportId(5).Usage(0x05).Feature()
                     .EndCollection()
                     .EndCollection()
                     .bytes();
  return d;
}

class ItemPathTest : public SimHostTest {};

TEST_F(ItemPathTest, OrdinalPathsConvertToCanonicalInPlace) {
  const uint32_t h = InstallAndOpen(TwinCollections());
  const struct {
    const char* ordinal;
    const char* canonical;  // null: nothing matches
  } cases[] = {
      {"ff00:01:0000&ff00:02:0001&ff00:05:0000", "ff00:01:0000&ff00:02:0002&ff00:05:0004"},
      // Past the input items the ordinal counts among all kinds.
      {"ff00:01:0000&ff00:02:0001&ff00:05:0001", "ff00:01:0000&ff00:02:0002&ff00:05:0005"},
      {"ff00:01:0000&ff00:02:0001&ff00:05:0002", "ff00:01:0000&ff00:02:0002&ff00:05:0004"},
      {"ff00:01:0000&ff00:02:0000&ff00:06:0000", "ff00:01:0000&ff00:02:0001&ff00:06:0006"},
      {"ff00:01:0000&ff00:02:0001&ff00:05:0003", nullptr},
      {"ff00:01:0000&ff00:02:0002&ff00:05:0000", nullptr},  // only two such collections
      {"ff00:01:0001&ff00:02:0000&ff00:06:0000", nullptr},
      {"ff00:01:0000&ff00:02:0000", nullptr},                // the item is named by a collection
      {"ff00:01:0000", nullptr},                             // one step names no item
  };
  for (const auto& c : cases) {
    char text[80];
    std::strcpy(text, c.ordinal);
    SetLastHIDError(555);
    const int32_t ok = ConvertItemPath(h, text);
    if (c.canonical) {
      EXPECT_EQ(ok, 1) << c.ordinal;
      EXPECT_STREQ(text, c.canonical) << c.ordinal;
    } else {
      EXPECT_EQ(ok, 0) << c.ordinal;
      EXPECT_EQ(GetLastHIDError(), 555u) << c.ordinal;
      EXPECT_STREQ(text, c.ordinal);
    }
  }
}

TEST_F(ItemPathTest, ShortOrdinalTextIsRefusedForWidth) {
  const uint32_t h = InstallAndOpen(TwinCollections());
  char text[80] = "ff00:1:0&ff00:2:1&ff00:5:0";
  EXPECT_EQ(ConvertItemPath(h, text), 0);
  EXPECT_EQ(GetLastHIDError(), 122u);
  EXPECT_STREQ(text, "ff00:1:0&ff00:2:1&ff00:5:0");

  EXPECT_EQ(ConvertItemPath(0, text), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
  EXPECT_EQ(ConvertItemPath(h, nullptr), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
  std::strcpy(text, "ff00:01&ff00:05:0000");
  EXPECT_EQ(ConvertItemPath(h, text), 0);
  EXPECT_EQ(GetLastHIDError(), 3u);
}

TEST_F(ItemPathTest, PathTextParsesLikeHexTriplesSplitAtAmpersands) {
  SimDevice d = TwinCollections();
  d.features[6] = {0x06, 0x2A};
  const uint32_t h = InstallAndOpen(d);
  const std::string node1 = "ff00:01:0000&ff00:02:0001&ff00:06:0000";
  const std::string padded79 = std::string(79 - node1.size(), '0') + node1;
  const struct {
    std::string text;
    bool parses;
  } cases[] = {
      {node1, true},
      {"FF00:1:0&FF00:2:1&FF00:6:77", true},        // any width and case; item number ignored
      {"&&ff00:01:0000&&ff00:02:0001&ff00:06:0000&", true},
      {"ff00:01:0000&ff00:02:0001&ff00:06:0000junk", true},
      {" ff00: 01: 0000&ff00:02:0001&ff00:06:0000", true},
      {"1ff00:101:10000&ff00:02:0001&ff00:06:0000", true},  // numbers keep their low bits
      {padded79, true},
      {"0" + padded79, false},                      // 80 characters
      {"", false},
      {"&&&", false},
      {"ff00:01&ff00:02:0001&ff00:06:0000", false},
      {"ff00:01:0000&ff00 :02:0001&ff00:06:0000", false},
      {"ff00:01:0000&ff00:02:0001&xyz:06:0000", false},
  };
  for (const auto& c : cases) {
    int32_t v = -1;
    SetLastHIDError(0);
    const int32_t ok = GetItemValue(h, c.text.c_str(), &v);
    if (c.parses) {
      EXPECT_EQ(ok, 1) << c.text;
      EXPECT_EQ(v, 0x2A) << c.text;
    } else {
      EXPECT_EQ(ok, 0) << c.text;
      EXPECT_EQ(GetLastHIDError(), 3u) << c.text;
    }
  }
  int32_t v = 0;
  EXPECT_EQ(GetItemValue(h, nullptr, &v), 0);
  EXPECT_EQ(GetLastHIDError(), 3u);
}

TEST_F(ItemPathTest, CollectionStepsBelowALeafArePassedOverByFindButNotByConvert) {
  SimDevice d = TwinCollections();
  d.features[6] = {0x06, 0x07};
  const uint32_t h = InstallAndOpen(d);
  int32_t v = 0;
  ASSERT_EQ(GetItemValue(h, "ff00:01:0000&ff00:02:0001&9:9:9&ff00:06:0000", &v), 1);
  EXPECT_EQ(v, 7);
  char text[80] = "ff00:01:0000&ff00:02:0000&0009:09:0009&ff00:06:0000";
  EXPECT_EQ(ConvertItemPath(h, text), 0);
}

}  // namespace
}  // namespace tandril_test
