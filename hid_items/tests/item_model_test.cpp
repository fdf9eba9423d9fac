// The item model: item indices, canonical paths and item descriptions.
#include <cstring>
#include <string>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

constexpr uint32_t kFeatureValueFlags = TANDRIL_FLAG_FEATURE | TANDRIL_FLAG_DATA | TANDRIL_FLAG_NUMERIC;
constexpr uint32_t kInputButtonFlags = TANDRIL_FLAG_INPUT | TANDRIL_FLAG_EVENT_SOURCE | TANDRIL_FLAG_BUTTON;

// Node 0 (ff00:01) holds two feature values of report 1 and node 1
// (ff00:30), which holds one input button of report 2.
SimDevice NodeExample() {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .ReportId(1).Field(8, 1, -5, 100).Unit(0x1001).UnitExponent(0x0E)
                     .Usage(0x20).Feature()
                     .Usage(0x21).Feature()
                     .Unit(0).UnitExponent(0)
                     .Usage(0x30).Collection(0x02)
                     .ReportId(2).UsagePage(0x09).Usage(0x05).Field(1, 1, 0, 1).Input()
                     .ReportSize(7).Input(kConst)
                     .EndCollection()
                     .EndCollection()
                     .bytes();
  return d;
}

class ItemModelTest : public SimHostTest {};

TEST_F(ItemModelTest, IndicesWalkNodeItemsBeforeChildCollections) {
  const uint32_t h = InstallAndOpen(NodeExample());
  EXPECT_EQ(PathAt(h, 0), "ff00:01:0000&ff00:20:0001");
  EXPECT_EQ(PathAt(h, 1), "ff00:01:0000&ff00:21:0001");
  EXPECT_EQ(PathAt(h, 2), "ff00:01:0000&ff00:30:0001&0009:05:0002");

  char path[64];
  uint16_t size = sizeof path;
  ItemInfo info{};
  SetLastHIDError(777);
  EXPECT_EQ(GetItemByIndex(h, 3, path, &size, &info), 0);
  EXPECT_EQ(GetLastHIDError(), 777u);
}

// Two child collections under one node: their items follow in ascending
// node index, the first collection of the descriptor first, whatever order
// the platform's sibling links give.
TEST_F(ItemModelTest, SiblingCollectionsFollowInNodeOrder) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .ReportId(1).Field(8, 1, 0, 255)
                     .Usage(0x30).Collection(0x02).Usage(0x40).Feature().EndCollection()
                     .Usage(0x31).Collection(0x02).Usage(0x41).Feature().EndCollection()
                     .Usage(0x32).Collection(0x02).Usage(0x42).Feature().EndCollection()
                     .EndCollection()
                     .bytes();
  const uint32_t h = InstallAndOpen(d);
  EXPECT_EQ(PathAt(h, 0), "ff00:01:0000&ff00:30:0001&ff00:40:0001");
  EXPECT_EQ(PathAt(h, 1), "ff00:01:0000&ff00:31:0002&ff00:41:0001");
  EXPECT_EQ(PathAt(h, 2), "ff00:01:0000&ff00:32:0003&ff00:42:0001");
}

TEST_F(ItemModelTest, ItemInfoDescribesValuesAndButtons) {
  const uint32_t h = InstallAndOpen(NodeExample());
  char path[64];
  uint16_t size = sizeof path;
  ItemInfo info{};
  info.Flags = 0xABCD0000u | 0xFFu;  // bits 8 and up are the caller's
  ASSERT_EQ(GetItemByIndex(h, 0, path, &size, &info), 1);
  EXPECT_EQ(info.Units, 0x1001u);
  EXPECT_EQ(info.UnitExponent, 0x0E);
  EXPECT_EQ(info.LogicalMinimum, -5);
  EXPECT_EQ(info.LogicalMaximum, 100);
  EXPECT_EQ(info.Flags, 0xABCD0000u | kFeatureValueFlags);
  EXPECT_EQ(info.ReportID, 1);

  info = ItemInfo{};
  size = sizeof path;
  ASSERT_EQ(GetItemByIndex(h, 2, path, &size, &info), 1);
  EXPECT_EQ(info.Units, 0u);
  EXPECT_EQ(info.LogicalMinimum, 0);
  EXPECT_EQ(info.LogicalMaximum, 1);
  EXPECT_EQ(info.Flags, kInputButtonFlags);
  EXPECT_EQ(info.ReportID, 2);
}

TEST_F(ItemModelTest, PathBufferMustHoldTheTerminator) {
  const uint32_t h = InstallAndOpen(NodeExample());
  const std::string expected = "ff00:01:0000&ff00:30:0001&0009:05:0002";
  char path[64];
  std::memset(path, 'x', sizeof path);
  ItemInfo info{};
  uint16_t size = static_cast<uint16_t>(expected.size());
  EXPECT_EQ(GetItemByIndex(h, 2, path, &size, &info), 0);
  EXPECT_EQ(GetLastHIDError(), 122u);
  EXPECT_EQ(size, expected.size() + 1);
  EXPECT_EQ(path[0], 'x');

  ASSERT_EQ(GetItemByIndex(h, 2, path, &size, &info), 1);
  EXPECT_EQ(std::string(path), expected);

  size = 0;  // asking for the size alone
  EXPECT_EQ(GetItemByIndex(h, 2, nullptr, &size, &info), 0);
  EXPECT_EQ(size, expected.size() + 1);
  EXPECT_EQ(GetItemByIndex(h, 2, path, nullptr, &info), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

TEST_F(ItemModelTest, ItemsOfOneCollectionFollowTheKindOrder) {
  // Declared in the reverse of the listing order.
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .Field(1, 1, 0, 1).UsagePage(0x09).Usage(0x06).Output()
                     .ReportSize(7).Output(kConst)
                     .UsagePage(0xFF00).Field(8, 1, 0, 255).Usage(0x05).Output()
                     .Field(1, 1, 0, 1).UsagePage(0x09).Usage(0x04).Input()
                     .ReportSize(7).Input(kConst)
                     .UsagePage(0xFF00).Field(8, 1, 0, 255).Usage(0x03).Input()
                     .Field(1, 1, 0, 1).UsagePage(0x09).Usage(0x02).Feature(kVar | kVolatile)
                     .ReportSize(7).Feature(kConst)
                     .UsagePage(0xFF00).Field(8, 1, 0, 255).Usage(0x01).Feature(kConst | kVar)
                     .EndCollection()
                     .bytes();
  const uint32_t h = InstallAndOpen(d);
  const struct {
    const char* path;
    uint32_t flags;
  } expected[] = {
      {"ff00:01:0000&ff00:01:0000", TANDRIL_FLAG_FEATURE | TANDRIL_FLAG_NUMERIC},  // constant
      {"ff00:01:0000&0009:02:0000", TANDRIL_FLAG_FEATURE | TANDRIL_FLAG_DATA | TANDRIL_FLAG_BUTTON},
      {"ff00:01:0000&ff00:03:0000", TANDRIL_FLAG_INPUT | TANDRIL_FLAG_NUMERIC | TANDRIL_FLAG_EVENT_SOURCE},
      {"ff00:01:0000&0009:04:0000", kInputButtonFlags},
      {"ff00:01:0000&ff00:05:0000", TANDRIL_FLAG_OUTPUT | TANDRIL_FLAG_DATA | TANDRIL_FLAG_NUMERIC},
      {"ff00:01:0000&0009:06:0000", TANDRIL_FLAG_OUTPUT | TANDRIL_FLAG_DATA | TANDRIL_FLAG_BUTTON},
  };
  for (uint16_t i = 0; i < 6; ++i) {
    char path[64];
    uint16_t size = sizeof path;
    ItemInfo info{};
    ASSERT_EQ(GetItemByIndex(h, i, path, &size, &info), 1) << i;
    EXPECT_EQ(std::string(path), expected[i].path) << i;
    EXPECT_EQ(info.Flags, expected[i].flags) << i;
  }
  EXPECT_EQ(PathAt(h, 6), "");
}

TEST_F(ItemModelTest, UsageAboveFFIsNamedAndFoundByItsLowByte) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .ReportId(1).Field(8, 1, 0, 255)
                     .Usage(0x0130).Feature()
                     .Usage(0x0030).Feature()
                     .EndCollection()
                     .bytes();
  d.features[1] = {0x01, 0x42, 0x17};
  const uint32_t h = InstallAndOpen(d);
  EXPECT_EQ(PathAt(h, 0), "ff00:01:0000&ff00:30:0001");
  EXPECT_EQ(PathAt(h, 1), "ff00:01:0000&ff00:30:0001");
  // Both carry the name ff00:30; it finds the first, and reads its own field.
  int32_t v = 0;
  ASSERT_EQ(GetItemValue(h, "ff00:01:0000&ff00:30:0001", &v), 1);
  EXPECT_EQ(v, 0x42);
  ASSERT_EQ(SetItemValue(h, "ff00:01:0000&ff00:30:0001", 0x55), 1);
  EXPECT_EQ(Requests("SET_FEATURE"), std::vector<std::string>{"SET_FEATURE 01 55 00"});
}

// A chain of `depth` nested collections below the top-level one, with one
// feature item in the innermost.
SimDevice Nested(int depth) {
  Descriptor desc;
  desc.UsagePage(0xFF00).Usage(0x01).Collection(0x01);
  for (int i = 0; i < depth; ++i) desc.Usage(0x02).Collection(0x02);
  desc.Field(8, 1, 0, 255).Usage(0x20).Feature();
  for (int i = 0; i <= depth; ++i) desc.EndCollection();
  SimDevice d;
  d.descriptor = desc.bytes();
  return d;
}

TEST_F(ItemModelTest, PathsOfEighteenLevelsAreWrittenDeeperOnesRefused) {
  uint32_t h = InstallAndOpen(Nested(17));
  const std::string path = PathAt(h, 0);
  EXPECT_EQ(path.size(), 18u * 13 + 12);
  EXPECT_EQ(path.substr(path.size() - 25), "ff00:02:0011&ff00:20:0000");
  ASSERT_EQ(CloseHIDDevice(h), 1);

  h = InstallAndOpen(Nested(18));
  char text[300];
  uint16_t size = sizeof text;
  ItemInfo info{};
  EXPECT_EQ(GetItemByIndex(h, 0, text, &size, &info), 0);
  EXPECT_EQ(GetLastHIDError(), 206u);
}

}  // namespace
}  // namespace tandril_test
