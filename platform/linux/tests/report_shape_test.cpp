#include "report_shape.h"

#include <gtest/gtest.h>

#include <vector>

#include "hidhost/errors.h"
#include "report_table.h"

namespace hidhost::hidraw {
namespace {

using Bytes = std::vector<uint8_t>;

// Two top-level collections: a keyboard-like one with input report 1 (8
// bytes) and output report 1 (1 byte), and a vendor one with feature reports
// 2 (3 bytes) and 3 (7 bytes, kept in a pushed/popped global state).
const Bytes kTwoCollections = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Usage Page 1, Usage 6, Collection
    0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x00,  // ID 1, 8 x 8 bits Input
    0x75, 0x01, 0x95, 0x05, 0x91, 0x02,              // 5 bits Output
    0x75, 0x03, 0x95, 0x01, 0x91, 0x01,              // 3 bits Output padding
    0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // vendor collection
    0x85, 0x02, 0x75, 0x08, 0x95, 0x03, 0xB1, 0x02,  // ID 2, 3 bytes Feature
    0xA4,                                            // Push
    0x85, 0x03, 0x95, 0x07, 0xB1, 0x02,              // ID 3, 7 bytes Feature
    0xB4,                                            // Pop: back to ID 2, count 3
    0x09, 0x02, 0xA1, 0x02, 0x95, 0x01, 0xB1, 0x02, 0xC0,  // ID 2 gets one byte more
    0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // a long item, skipped
    0xC0,
};

TEST(ReportTable, CountsEachReportOfEachCollection) {
  const auto tables = ScanReportTables(kTwoCollections.data(), kTwoCollections.size());
  ASSERT_EQ(tables.size(), 2u);
  struct Case {
    size_t collection;
    ReportKind kind;
    uint8_t id;
    size_t length;
  } cases[] = {
      {0, ReportKind::Input, 1, 9},   {0, ReportKind::Output, 1, 2},
      {0, ReportKind::Feature, 2, 0}, {1, ReportKind::Feature, 2, 5},
      {1, ReportKind::Feature, 3, 8}, {1, ReportKind::Input, 1, 0},
      {1, ReportKind::Feature, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tables[c.collection].Length(c.kind, c.id), c.length)
        << "collection " << c.collection << " kind " << static_cast<int>(c.kind) << " id "
        << int(c.id);
  }
  EXPECT_TRUE(tables[0].Any(ReportKind::Input));
  EXPECT_FALSE(tables[1].Any(ReportKind::Input));
}

TEST(ReportTable, StopsAtATruncatedItem) {
  const Bytes truncated = {0x06, 0x00, 0xFF, 0xA1, 0x01, 0x75, 0x08, 0x95};
  const auto tables = ScanReportTables(truncated.data(), truncated.size());
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_FALSE(tables[0].Any(ReportKind::Input));
}

ReportTable VendorTable() {
  ReportTable table;
  table.AddBits(ReportKind::Feature, 0, 8 * 8);  // 9 bytes with the ID byte
  table.AddBits(ReportKind::Input, 0, 8 * 3);
  table.AddBits(ReportKind::Output, 0, 8 * 2);
  return table;
}

ReportTable NumberedTable() {
  ReportTable table;
  table.AddBits(ReportKind::Feature, 4, 8 * 2);   // 3 bytes
  table.AddBits(ReportKind::Feature, 5, 8 * 6);   // 7 bytes: the caps length
  table.AddBits(ReportKind::Input, 1, 8 * 1);
  table.AddBits(ReportKind::Input, 2, 8 * 4);
  return table;
}

TEST(CheckRequest, ValidatesLengthAndReportId) {
  const ReportTable vendor = VendorTable();
  const ReportTable numbered = NumberedTable();
  struct Case {
    const char* name;
    const ReportTable* table;
    bool usesIds;
    size_t caps;
    Bytes report;
    uint32_t error;
    uint8_t id;
    size_t realLength;
  } cases[] = {
      {"exact length", &vendor, false, 9, Bytes(9, 0), 0, 0, 9},
      {"longer buffer", &vendor, false, 9, Bytes(20, 0), 0, 0, 9},
      {"byte 0 ignored without IDs", &vendor, false, 9, Bytes{7, 1, 2, 3, 4, 5, 6, 7, 8}, 0, 0, 9},
      {"one byte short", &vendor, false, 9, Bytes(8, 0), kErrorInvalidParameter, 0, 0},
      {"empty", &vendor, false, 9, Bytes{}, kErrorInvalidParameter, 0, 0},
      {"short report sent short", &numbered, true, 7, Bytes{4, 0, 0, 0, 0, 0, 0}, 0, 4, 3},
      {"long report", &numbered, true, 7, Bytes{5, 0, 0, 0, 0, 0, 0}, 0, 5, 7},
      {"unknown ID", &numbered, true, 7, Bytes{6, 0, 0, 0, 0, 0, 0}, kErrorInvalidParameter, 6, 0},
      {"ID 0 on a numbered device", &numbered, true, 7, Bytes(7, 0), kErrorInvalidParameter, 0, 0},
      {"short buffer for a short report", &numbered, true, 7, Bytes{4, 0, 0},
       kErrorInvalidParameter, 0, 0},
      {"no such reports", &vendor, false, 0, Bytes(4, 0), kErrorInvalidParameter, 0, 0},
  };
  for (const Case& c : cases) {
    const ReportRequest r = CheckRequest(*c.table, c.usesIds, ReportKind::Feature, c.caps,
                                         c.report.data(), c.report.size());
    EXPECT_EQ(r.error, c.error) << c.name;
    if (c.error == 0) {
      EXPECT_EQ(r.id, c.id) << c.name;
      EXPECT_EQ(r.realLength, c.realLength) << c.name;
    }
  }
}

TEST(NormaliseInput, PutsBackTheIdByteAndPadsToTheCapsLength) {
  const ReportTable vendor = VendorTable();
  const ReportTable numbered = NumberedTable();
  struct Case {
    const char* name;
    const ReportTable* table;
    bool usesIds;
    size_t caps;
    Bytes raw;
    bool ours;
    Bytes expected;
  } cases[] = {
      {"unnumbered gets byte 0", &vendor, false, 4, {0xA, 0xB, 0xC}, true, {0, 0xA, 0xB, 0xC}},
      {"unnumbered short packet", &vendor, false, 4, {0xA}, true, {0, 0xA, 0, 0}},
      {"unnumbered overlong cut", &vendor, false, 4, {1, 2, 3, 4, 5}, true, {0, 1, 2, 3}},
      {"numbered kept as is", &numbered, true, 5, {2, 9, 8, 7, 6}, true, {2, 9, 8, 7, 6}},
      {"numbered short report padded", &numbered, true, 5, {1, 9}, true, {1, 9, 0, 0, 0}},
      {"other collection's report", &numbered, true, 5, {3, 1, 1}, false, {}},
      {"empty read", &numbered, true, 5, {}, false, {}},
  };
  for (const Case& c : cases) {
    Bytes out(c.caps + 2, 0xEE);
    const bool ours =
        NormaliseInput(*c.table, c.usesIds, c.caps, c.raw.data(), c.raw.size(), out.data());
    EXPECT_EQ(ours, c.ours) << c.name;
    if (!c.ours) continue;
    EXPECT_EQ(Bytes(out.begin(), out.begin() + c.caps), c.expected) << c.name;
    EXPECT_EQ(out[c.caps], 0xEE) << c.name << ": wrote past the caps length";
  }
}

TEST(NormaliseInput, UnnumberedNodeWithoutInputReportsTakesNone) {
  ReportTable featureOnly;
  featureOnly.AddBits(ReportKind::Feature, 0, 8);
  const Bytes raw = {1, 2};
  Bytes out(4, 0);
  EXPECT_FALSE(NormaliseInput(featureOnly, false, 4, raw.data(), raw.size(), out.data()));
}

}  // namespace
}  // namespace hidhost::hidraw
