// Descriptors a lying or broken device might send: each is refused with a
// reason and the byte offset of the offending item.
#include <gtest/gtest.h>

#include <algorithm>

#include "sample_descriptors.h"

namespace hid::testing {
namespace {

Bytes Repeat(std::initializer_list<uint8_t> unit, size_t times) {
  Bytes out;
  for (size_t i = 0; i < times; ++i) out.insert(out.end(), unit);
  return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct BadCase {
  const char* name;
  Bytes descriptor;
  const char* reason;  // expected in the error text, offset included
};

class BadDescriptor : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDescriptor, IsRefusedWithReasonAndOffset) {
  const BadCase& c = GetParam();
  const ParseResult result = ParseReportDescriptor(c.descriptor.data(), c.descriptor.size());
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.collections.empty());
  EXPECT_FALSE(result.usesReportIds);
  EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
}

const Bytes kOpen = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01};  // 6 bytes

INSTANTIATE_TEST_SUITE_P(
    Refused, BadDescriptor,
    ::testing::Values(
        BadCase{"Empty", {}, "byte 0: the descriptor holds no top-level collection"},
        BadCase{"OnlyGlobals", {0x05, 0x01, 0x75, 0x08}, "byte 4: the descriptor holds no top-level collection"},
        BadCase{"TruncatedShortItem", Cat({kOpen, {0x26, 0xFF}}), "byte 6: item data runs past the end"},
        BadCase{"TruncatedFourByteItem", Cat({kOpen, {0x27, 0xFF, 0xFF, 0xFF}}), "byte 6: item data runs past"},
        BadCase{"TruncatedLongItemHeader", Cat({kOpen, {0xFE, 0x02}}), "byte 6: long item header runs past"},
        BadCase{"TruncatedLongItemData", Cat({kOpen, {0xFE, 0x05, 0x10, 0x00}}), "byte 6: long item data runs past"},
        BadCase{"UnclosedCollections", Cat({kOpen, {0xA1, 0x00}}), "byte 8: 2 collection(s) still open"},
        BadCase{"EndCollectionFirst", {0xC0}, "byte 0: End Collection without a matching Collection"},
        BadCase{"ExtraEndCollection", Cat({kOpen, {0xC0, 0xC0}}), "byte 7: End Collection without a matching"},
        BadCase{"PopWithoutPush", Cat({kOpen, {0xB4, 0xC0}}), "byte 6: Pop without a matching Push"},
        BadCase{"PushTooDeep", Cat({kOpen, Repeat({0xA4}, 33)}), "byte 38: more than 32 nested Push items"},
        BadCase{"ReportSizeZero", Cat({kOpen, {0x09, 0x30, 0x75, 0x00, 0x95, 0x01, 0x81, 0x02, 0xC0}}),
                "byte 12: Report Size 0 for a field with usages"},
        BadCase{"ReportCountAbsurd", Cat({kOpen, {0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x01, 0xC0}}),
                "byte 13: report 0 grows beyond 65536 bits"},
        BadCase{"ReportSizeAbsurd", Cat({kOpen, {0x77, 0x00, 0x00, 0x00, 0x01, 0x95, 0x01, 0x81, 0x01, 0xC0}}),
                "byte 13: report 0 grows beyond"},
        BadCase{"ReportsAddUpTooLong",
                Cat({kOpen, {0x85, 0x07, 0x75, 0x08, 0x96, 0x00, 0x10, 0xB1, 0x01, 0xB1, 0x01, 0xC0}}),
                "byte 15: report 7 grows beyond"},
        BadCase{"ReportIdZero", Cat({kOpen, {0x85, 0x00, 0xC0}}), "byte 6: Report ID 0 is outside 1..255"},
        BadCase{"ReportIdWide", Cat({kOpen, {0x86, 0x00, 0x01, 0xC0}}), "byte 6: Report ID 256 is outside"},
        BadCase{"UsagePageWide", {0x07, 0x00, 0x00, 0x01, 0x00, 0xA1, 0x01, 0xC0}, "byte 0: Usage Page 0x10000"},
        BadCase{"InputOutsideCollection", {0x09, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
                "byte 6: Input item outside any collection"},
        BadCase{"FeatureAfterLastCollection", Cat({kOpen, {0xC0, 0xB1, 0x01}}), "byte 7: Feature item outside"},
        BadCase{"RangeAcrossPages", Cat({kOpen, {0x1B, 0x01, 0x00, 0x09, 0x00, 0x2B, 0x05, 0x00, 0x07, 0x00}}),
                "byte 11: usage range spans usage pages 0x9 and 0x7"},
        BadCase{"RangeBackwards", Cat({kOpen, {0x19, 0x05, 0x29, 0x01}}), "byte 8: Usage Maximum 0x1 is below"},
        BadCase{"DelimiterCloseWithoutOpen", Cat({kOpen, {0xA9, 0x00}}), "byte 6: Delimiter close without an open"},
        BadCase{"DelimiterNested", Cat({kOpen, {0xA9, 0x01, 0xA9, 0x01}}), "byte 8: Delimiter set opened inside"},
        BadCase{"DelimiterOpenAtMainItem",
                Cat({kOpen, {0xA9, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}}),
                "byte 14: main item inside an open Delimiter set"},
        BadCase{"TooDeep", Repeat({0xA1, 0x00}, 65), "byte 128: collections nested deeper than 64"},
        BadCase{"TooManyCollections", Cat({kOpen, Repeat({0xA1, 0x00, 0xC0}, 1024)}),
                "byte 3075: more than 1024 collections"},
        BadCase{"TooManyMainItems", Cat({kOpen, {0x75, 0x01, 0x95, 0x01}, Repeat({0x81, 0x01}, 4097)}),
                "byte 8202: more than 4096 Input/Output/Feature items"},
        BadCase{"TooManyUsagesForOneItem", Cat({kOpen, Repeat({0x09, 0x01}, 1025)}),
                "byte 2054: more than 1024 usages for one main item"},
        BadCase{"TooManyRecords",
                Cat({kOpen, {0x75, 0x08, 0x95, 0x01}, Repeat({0x08}, 1000), {0x81, 0x00}, Repeat({0x08}, 1000),
                     {0x81, 0x00}, Repeat({0x08}, 1000), {0x81, 0x00}, Repeat({0x08}, 1000), {0x81, 0x00},
                     Repeat({0x08}, 1000), {0x81, 0x00}, Repeat({0x08}, 1000), {0x81, 0x00}, Repeat({0x08}, 1000),
                     {0x81, 0x00}, Repeat({0x08}, 1000), {0x81, 0x00}, Repeat({0x08}, 1000), {0x81, 0x00}}),
                "more than 8192 caps records"},
        BadCase{"TooManyDataIndices", Cat({kOpen, {0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00}}),
                "byte 15: more than 65535 data indices"},
        BadCase{"TooLong", Cat({kOpen, Repeat({0x00}, 16379)}), "longer than the limit of 16384"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BadInputTest, NullDataWithLength) {
  const ParseResult result = ParseReportDescriptor(nullptr, 4);
  EXPECT_FALSE(result.ok());
}

// Every prefix of a valid descriptor is either valid or refused; none
// crashes or reads past its end (the sanitizer builds check the latter).
TEST(BadInputTest, EveryTruncationIsHandled) {
  for (const Bytes* d : {&kBootKeyboard, &kPowerDevice, &kWheelMouse}) {
    for (size_t n = 0; n < d->size(); ++n) {
      const Bytes prefix(d->begin(), d->begin() + static_cast<long>(n));
      const ParseResult result = ParseReportDescriptor(prefix.data(), prefix.size());
      EXPECT_FALSE(result.ok()) << "prefix of " << n << " bytes";
    }
  }
}

// Field access never touches a byte past the report it is given, whatever
// the records say. Reports are zero and followed by 0xFF guard bytes, so any
// read past the end shows up as a set bit and any write as a changed guard.
TEST(BadInputTest, FieldAccessStaysInsideTheReport) {
  // A delimiter set whose usage range 0..0x8202 shares one field with Usage
  // 6, as a 2-bit Output value and as a 1-bit Output button.
  const Bytes sharedValue = {0xA1, 0x01, 0x75, 0x02, 0x95, 0x01, 0xA9, 0x01, 0x18, 0x2A,
                             0x02, 0x82, 0x09, 0x06, 0xA9, 0x00, 0x91, 0x02, 0xC0};
  Bytes sharedButton = sharedValue;
  sharedButton[3] = 0x01;
  constexpr size_t kGuard = 64;
  for (const Bytes* d : std::initializer_list<const Bytes*>{&sharedValue, &sharedButton, &kBootKeyboard, &kWheelMouse, &kPowerDevice}) {
    const ParseResult parsed = ParseReportDescriptor(d->data(), d->size());
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    PHIDP_PREPARSED_DATA pp = parsed.collections[0].get();
    for (auto type : {HidP_Input, HidP_Output, HidP_Feature}) {
      const auto length = static_cast<ULONG>(Report(pp, type).size());
      if (length == 0) continue;
      std::vector<char> buffer(length + kGuard, static_cast<char>(0xFF));
      std::fill(buffer.begin(), buffer.begin() + length, 0);
      const std::vector<char> guard(buffer.begin() + length, buffer.end());
      for (const auto& v : ValueCaps(pp, type)) {
        buffer[0] = static_cast<char>(v.ReportID);
        for (uint32_t u = v.Range.UsageMin; u <= v.Range.UsageMax; ++u) {
          ULONG value = 0;
          if (HidP_GetUsageValue(type, v.UsagePage, 0, static_cast<USAGE>(u), &value, pp, buffer.data(), length) ==
              HIDP_STATUS_SUCCESS) {
            EXPECT_EQ(value, 0u) << "usage " << u;
          }
          HidP_SetUsageValue(type, v.UsagePage, 0, static_cast<USAGE>(u), 0, pp, buffer.data(), length);
        }
      }
      for (const auto& b : ButtonCaps(pp, type)) {
        buffer[0] = static_cast<char>(b.ReportID);
        USAGE_AND_PAGE list[16];
        ULONG count = 16;
        HidP_GetUsagesEx(type, 0, list, &count, pp, buffer.data(), length);
        EXPECT_EQ(count, 0u);
      }
      EXPECT_EQ(std::vector<char>(buffer.begin() + length, buffer.end()), guard);
    }
  }
}

}  // namespace
}  // namespace hid::testing
