#include "report_shape.h"

#include <gtest/gtest.h>

#include <vector>

#include "hidhost/errors.h"

namespace hidhost::hidraw {
namespace {

using Bytes = std::vector<uint8_t>;

hid::PreparsedPtr Parse(const Bytes& d) {
  hid::ParseResult r = hid::ParseReportDescriptor(d.data(), d.size());
  EXPECT_TRUE(r.ok()) << r.error;
  return r.collections.empty() ? nullptr : r.collections[0];
}

// No report IDs: feature 9 bytes, input 4, output 3 (ID byte included).
const Bytes kVendor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02,
                       0x95, 0x03, 0x81, 0x02, 0x95, 0x02, 0x91, 0x02, 0xC0};
// Feature reports 4 (3 bytes) and 5 (7 bytes: the caps length), input
// reports 1 (2 bytes) and 2 (5 bytes).
const Bytes kNumbered = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x04, 0x95, 0x02,
                         0xB1, 0x02, 0x85, 0x05, 0x95, 0x06, 0xB1, 0x02, 0x85, 0x01, 0x95, 0x01,
                         0x81, 0x02, 0x85, 0x02, 0x95, 0x04, 0x81, 0x02, 0xC0};

TEST(CheckRequest, ValidatesLengthAndReportId) {
  const hid::PreparsedPtr vendorModel = Parse(kVendor), numberedModel = Parse(kNumbered);
  const hid::HIDP_PREPARSED_DATA* vendor = vendorModel.get();
  const hid::HIDP_PREPARSED_DATA* numbered = numberedModel.get();
  struct Case {
    const char* name;
    hid::PHIDP_PREPARSED_DATA model;
    bool usesIds;
    size_t caps;
    Bytes report;
    uint32_t error;
    uint8_t id;
    size_t realLength;
  } cases[] = {
      {"exact length", vendor, false, 9, Bytes(9, 0), 0, 0, 9},
      {"longer buffer", vendor, false, 9, Bytes(20, 0), 0, 0, 9},
      {"byte 0 ignored without IDs", vendor, false, 9, Bytes{7, 1, 2, 3, 4, 5, 6, 7, 8}, 0, 0, 9},
      {"one byte short", vendor, false, 9, Bytes(8, 0), kErrorInvalidParameter, 0, 0},
      {"empty", vendor, false, 9, Bytes{}, kErrorInvalidParameter, 0, 0},
      {"short report sent short", numbered, true, 7, Bytes{4, 0, 0, 0, 0, 0, 0}, 0, 4, 3},
      {"long report", numbered, true, 7, Bytes{5, 0, 0, 0, 0, 0, 0}, 0, 5, 7},
      {"unknown ID", numbered, true, 7, Bytes{6, 0, 0, 0, 0, 0, 0}, kErrorInvalidParameter, 6, 0},
      {"ID 0 on a numbered device", numbered, true, 7, Bytes(7, 0), kErrorInvalidParameter, 0, 0},
      {"short buffer for a short report", numbered, true, 7, Bytes{4, 0, 0},
       kErrorInvalidParameter, 0, 0},
      {"no such reports", vendor, false, 0, Bytes(4, 0), kErrorInvalidParameter, 0, 0},
  };
  for (const Case& c : cases) {
    const ReportRequest r = CheckRequest(c.model, c.usesIds, hid::HidP_Feature, c.caps,
                                         c.report.data(), c.report.size());
    EXPECT_EQ(r.error, c.error) << c.name;
    if (c.error == 0) {
      EXPECT_EQ(r.id, c.id) << c.name;
      EXPECT_EQ(r.realLength, c.realLength) << c.name;
    }
  }
}

TEST(NormaliseInput, PutsBackTheIdByteAndPadsToTheCapsLength) {
  const hid::PreparsedPtr vendorModel = Parse(kVendor), numberedModel = Parse(kNumbered);
  const hid::HIDP_PREPARSED_DATA* vendor = vendorModel.get();
  const hid::HIDP_PREPARSED_DATA* numbered = numberedModel.get();
  struct Case {
    const char* name;
    hid::PHIDP_PREPARSED_DATA model;
    bool usesIds;
    size_t caps;
    Bytes raw;
    bool ours;
    Bytes expected;
  } cases[] = {
      {"unnumbered gets byte 0", vendor, false, 4, {0xA, 0xB, 0xC}, true, {0, 0xA, 0xB, 0xC}},
      {"unnumbered short packet", vendor, false, 4, {0xA}, true, {0, 0xA, 0, 0}},
      {"unnumbered overlong cut", vendor, false, 4, {1, 2, 3, 4, 5}, true, {0, 1, 2, 3}},
      {"numbered kept as is", numbered, true, 5, {2, 9, 8, 7, 6}, true, {2, 9, 8, 7, 6}},
      {"numbered short report padded", numbered, true, 5, {1, 9}, true, {1, 9, 0, 0, 0}},
      {"other collection's report", numbered, true, 5, {3, 1, 1}, false, {}},
      {"empty read", numbered, true, 5, {}, false, {}},
  };
  for (const Case& c : cases) {
    Bytes out(c.caps + 2, 0xEE);
    const bool ours =
        NormaliseInput(c.model, c.usesIds, c.caps, c.raw.data(), c.raw.size(), out.data());
    EXPECT_EQ(ours, c.ours) << c.name;
    if (!c.ours) continue;
    EXPECT_EQ(Bytes(out.begin(), out.begin() + c.caps), c.expected) << c.name;
    EXPECT_EQ(out[c.caps], 0xEE) << c.name << ": wrote past the caps length";
  }
}

TEST(NormaliseInput, UnnumberedNodeWithoutInputReportsTakesNone) {
  const hid::PreparsedPtr featureOnly =
      Parse({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xC0});
  const Bytes raw = {1, 2};
  Bytes out(4, 0);
  EXPECT_FALSE(NormaliseInput(featureOnly.get(), false, 4, raw.data(), raw.size(), out.data()));
}

}  // namespace
}  // namespace hidhost::hidraw
