// Reading and writing item values through feature and output reports.
#include <string>
#include <vector>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

// Top-level collection ff00:01:
//   report 1: feature ff00:10 (8 bits), ff00:11 (8 bits, volatile),
//             feature button 0009:03, string item ff00:12 (string 4)
//   report 2: input ff00:10, output ff00:20 (16 bits), output ff00:21
//   report 3: input ff00:30 only
//   report 255: feature ff00:40
SimDevice ValueDevice() {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .ReportId(1).Field(8, 1, 0, 255)
                     .Usage(0x10).Feature()
                     .Usage(0x11).Feature(kVar | kVolatile)
                     .UsagePage(0x09).Usage(0x03).Field(1, 1, 0, 1).Feature()
                     .ReportSize(7).Feature(kConst)
                     .UsagePage(0xFF00).Field(8, 1, 0, 255).StringIndex(4).Usage(0x12).Feature()
                     .ReportId(2).Usage(0x10).Input()
                     .Field(16, 1, 0, 0x7FFF).Usage(0x20).Output().Usage(0x21).Output()
                     .ReportId(3).Field(8, 1, 0, 255).Usage(0x30).Input()
                     .ReportId(255).Usage(0x40).Feature()
                     .EndCollection()
                     .bytes();
  d.features[1] = {0x01, 0x21, 0x05, 0x01, 0x09};
  d.strings[4] = L"Serial Port";
  return d;
}

const char* const kPlain = "ff00:01:0000&ff00:10:0001";
const char* const kVolatileItem = "ff00:01:0000&ff00:11:0001";
const char* const kButton = "ff00:01:0000&0009:03:0001";
const char* const kStringItem = "ff00:01:0000&ff00:12:0001";
const char* const kOutput = "ff00:01:0000&ff00:20:0002";
const char* const kInputOnly = "ff00:01:0000&ff00:30:0003";
const char* const kReport255 = "ff00:01:0000&ff00:40:00ff";

class ItemValuesTest : public SimHostTest {};

TEST_F(ItemValuesTest, StoredReportServesNonVolatileReadsVolatileOnesFetchAgain) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  int32_t v = 0;
  ASSERT_EQ(GetItemValue(h, kPlain, &v), 1);
  EXPECT_EQ(v, 0x21);
  ASSERT_EQ(GetItemValue(h, kPlain, &v), 1);
  EXPECT_EQ(v, 0x21);
  ASSERT_EQ(GetItemValue(h, kButton, &v), 1);  // same report: no new request
  EXPECT_EQ(v, 1);
  EXPECT_EQ(Requests("GET_FEATURE").size(), 1u);

  host_->ClearTranscript();
  ASSERT_EQ(GetItemValue(h, kVolatileItem, &v), 1);
  ASSERT_EQ(GetItemValue(h, kVolatileItem, &v), 1);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(Requests("GET_FEATURE").size(), 2u);
}

// The same button usage in two collections of one report, only the first
// one's bit set: each item answers from its own collection.
TEST_F(ItemValuesTest, ButtonReadLooksOnlyInTheItemsOwnCollection) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01).ReportId(1)
                     .Usage(0x30).Collection(0x02)
                     .UsagePage(0x09).Usage(0x03).Field(1, 1, 0, 1).Feature()
                     .ReportSize(7).Feature(kConst)
                     .EndCollection()
                     .UsagePage(0xFF00).Usage(0x31).Collection(0x02)
                     .UsagePage(0x09).Usage(0x03).Field(1, 1, 0, 1).Feature()
                     .ReportSize(7).Feature(kConst)
                     .EndCollection()
                     .EndCollection()
                     .bytes();
  d.features[1] = {0x01, 0x01, 0x00};
  const uint32_t h = InstallAndOpen(d);
  int32_t v = -1;
  ASSERT_EQ(GetItemValue(h, "ff00:01:0000&ff00:30:0001&0009:03:0001", &v), 1);
  EXPECT_EQ(v, 1);
  ASSERT_EQ(GetItemValue(h, "ff00:01:0000&ff00:31:0002&0009:03:0001", &v), 1);
  EXPECT_EQ(v, 0);
}

TEST_F(ItemValuesTest, FailedFirstFetchIsRetriedByTheNextRead) {
  SimDevice d = ValueDevice();
  d.failGetFeature = 1;
  const uint32_t h = InstallAndOpen(d);
  int32_t v = 99;
  EXPECT_EQ(GetItemValue(h, kPlain, &v), 0);
  EXPECT_EQ(GetLastHIDError(), 31u);
  EXPECT_EQ(v, 99);
  ASSERT_EQ(GetItemValue(h, kButton, &v), 1);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(Requests("GET_FEATURE").size(), 2u);
}

TEST_F(ItemValuesTest, WriteSendsOtherFieldsAsZeroAndLeavesTheStoredReport) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  int32_t v = 0;
  ASSERT_EQ(GetItemValue(h, kPlain, &v), 1);
  ASSERT_EQ(SetItemValue(h, kPlain, 0x7E), 1);
  EXPECT_EQ(Requests("SET_FEATURE"), std::vector<std::string>{"SET_FEATURE 01 7E 00 00 00"});
  ASSERT_EQ(GetItemValue(h, kPlain, &v), 1);
  EXPECT_EQ(v, 0x21);  // the stored copy, not refetched
  EXPECT_EQ(Requests("GET_FEATURE").size(), 1u);

  ASSERT_EQ(SetItemValue(h, kOutput, 0x1234), 1);
  EXPECT_EQ(Requests("OUTPUT"), std::vector<std::string>{"OUTPUT 02 34 12 00 00"});
  // Volatile reads see what the device now holds.
  ASSERT_EQ(GetItemValue(h, kVolatileItem, &v), 1);
  EXPECT_EQ(v, 0);
}

TEST_F(ItemValuesTest, WritesThatCannotBeMadeSendNothing) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  const struct {
    const char* path;
    int32_t value;
    uint32_t error;  // 555: left unchanged
  } cases[] = {
      {kInputOnly, 1, 555},
      {kButton, 1, 555},
      {kStringItem, 1, 555},
      {"ff00:01:0000&ff00:99:0000", 1, 555},
      {"ff00:01:0000", 1, 555},
      {"not a path", 1, 3},
  };
  for (const auto& c : cases) {
    SetLastHIDError(555);
    EXPECT_EQ(SetItemValue(h, c.path, c.value), 0) << c.path;
    EXPECT_EQ(GetLastHIDError(), c.error) << c.path;
  }
  EXPECT_TRUE(Transcript().empty());
}

TEST_F(ItemValuesTest, InputPathsFallBackToTheFeatureItemUntilInputArrives) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  int32_t v = 0;
  // ff00:10 is both an input item (report 2) and a feature item (report 1).
  ASSERT_EQ(GetItemValue(h, "ff00:01:0000&ff00:10:0002", &v), 1);
  EXPECT_EQ(v, 0x21);
  SetLastHIDError(555);
  EXPECT_EQ(GetItemValue(h, kInputOnly, &v), 0);
  EXPECT_EQ(GetLastHIDError(), 555u);
  EXPECT_TRUE(Requests("GET_FEATURE 3").empty());
  EXPECT_EQ(GetItemValue(h, kPlain, nullptr), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

TEST_F(ItemValuesTest, ReportID255ItemsAreListedButNotRead) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  bool listed = false;
  for (uint16_t i = 0; !listed && i < 16; ++i) listed = PathAt(h, i) == kReport255;
  EXPECT_TRUE(listed);
  int32_t v = 0;
  EXPECT_EQ(GetItemValue(h, kReport255, &v), 0);
  EXPECT_EQ(GetLastHIDError(), 50u);
  EXPECT_TRUE(Requests("GET_FEATURE").empty());
}

TEST_F(ItemValuesTest, ItemStringsComeFromTheItemsStringIndex) {
  const uint32_t h = InstallAndOpen(ValueDevice());
  wchar_t text[32] = {};
  ASSERT_EQ(GetItemString(h, kStringItem, text, sizeof text), 1);
  EXPECT_EQ(std::wstring(text), L"Serial Port");

  SetLastHIDError(555);
  EXPECT_EQ(GetItemString(h, kPlain, text, sizeof text), 0);  // Numeric
  EXPECT_EQ(GetItemString(h, "nonsense", text, sizeof text), 0);
  EXPECT_EQ(GetLastHIDError(), 555u);
  EXPECT_EQ(GetItemString(h, kStringItem, text, 4), 0);  // too small for the string
  EXPECT_EQ(GetLastHIDError(), 122u);
  EXPECT_EQ(GetItemString(h, kStringItem, nullptr, 64), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

}  // namespace
}  // namespace tandril_test
