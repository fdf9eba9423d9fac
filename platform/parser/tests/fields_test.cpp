// Reading and writing fields of report buffers, and the status codes of the
// report functions.
#include <gtest/gtest.h>

#include "sample_descriptors.h"

namespace hid::testing {
namespace {

ULONG Len(const std::vector<char>& r) { return static_cast<ULONG>(r.size()); }

// Report 5: one 12-bit vendor feature value.
const Bytes kTwelveBitFeature = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x05, 0x09, 0x20, 0x15, 0x00,
                                 0x26, 0xFF, 0x0F, 0x75, 0x0C, 0x95, 0x01, 0xB1, 0x02, 0xC0};

struct ValueCase {
  const char* name;
  const Bytes* descriptor;
  HIDP_REPORT_TYPE type;
  uint8_t reportId;
  USAGE page, usage;
  ULONG written;   // value handed to SetUsageValue
  ULONG readBack;  // raw bits read back (truncated, never sign-extended)
  size_t byte;     // first byte of the field
};

class ValueRoundTrip : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueRoundTrip, WritesOnlyItsFieldAndReadsRawBits) {
  const ValueCase& c = GetParam();
  const auto pp = ParseOne(*c.descriptor);
  auto report = Report(pp.get(), c.type, c.reportId);
  ASSERT_EQ(HidP_SetUsageValue(c.type, c.page, 0, c.usage, c.written, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  ULONG value = 0xDEADBEEF;
  ASSERT_EQ(HidP_GetUsageValue(c.type, c.page, 0, c.usage, &value, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(value, c.readBack);
  EXPECT_EQ(static_cast<uint8_t>(report[0]), c.reportId);
  EXPECT_EQ(static_cast<uint8_t>(report[c.byte]), c.readBack & 0xFF);
  // Neighbouring fields keep their bits: fill everything, write 0, and only
  // the field's bits clear.
  std::fill(report.begin() + 1, report.end(), static_cast<char>(0xFF));
  ASSERT_EQ(HidP_SetUsageValue(c.type, c.page, 0, c.usage, 0, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  ASSERT_EQ(HidP_GetUsageValue(c.type, c.page, 0, c.usage, &value, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(value, 0u);
  int cleared = 0;
  for (size_t i = 1; i < report.size(); ++i) {
    for (int b = 0; b < 8; ++b) cleared += !((static_cast<uint8_t>(report[i]) >> b) & 1);
  }
  HIDP_VALUE_CAPS caps{};
  USHORT n = 1;
  ASSERT_EQ(HidP_GetSpecificValueCaps(c.type, c.page, 0, c.usage, &caps, &n, pp.get()), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(cleared, caps.BitSize);
}

INSTANTIATE_TEST_SUITE_P(
    HandWritten, ValueRoundTrip,
    ::testing::Values(
        ValueCase{"MouseX", &kWheelMouse, HidP_Input, 0, 0x01, 0x30, 0x7F, 0x7F, 2},
        ValueCase{"MouseWheelNegative", &kWheelMouse, HidP_Input, 0, 0x01, 0x38, static_cast<ULONG>(-128), 0x80, 4},
        ValueCase{"VendorArrayFirstElement", &kVendorFeature, HidP_Feature, 0, 0xFF00, 0x02, 0x1AB, 0xAB, 1},
        ValueCase{"Vendor16Bit", &kVendorFeature, HidP_Feature, 0, 0xFF00, 0x03, 0x12345, 0x2345, 17},
        ValueCase{"PowerVoltage", &kPowerDevice, HidP_Feature, 1, 0x84, 0x30, 0xBEEF, 0xBEEF, 1},
        ValueCase{"PowerSignedCurrent", &kPowerDevice, HidP_Input, 1, 0x84, 0x31, static_cast<ULONG>(-2), 0xFFFE, 1},
        ValueCase{"PowerConfigVoltage", &kPowerDevice, HidP_Feature, 2, 0x84, 0x40, 0xF6, 0xF6, 2},
        ValueCase{"PowerAlarmOutput", &kPowerDevice, HidP_Output, 3, 0x84, 0x5A, 2, 2, 1},
        // A report ID and 12 bits end inside the third byte: 3 bytes long.
        ValueCase{"TwelveBitsEndInsideAByte", &kTwelveBitFeature, HidP_Feature, 5, 0xFF00, 0x20, 0xABC, 0xABC, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldTest, ValueRangeAddressesEachUsage) {
  // Vendor usages 0x10..0x13 as four 12-bit values, one range record.
  const Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x19, 0x10, 0x29, 0x13, 0x15, 0x00, 0x26, 0xFF, 0x0F,
                   0x75, 0x0C, 0x95, 0x04, 0x81, 0x02, 0xC0};
  const auto pp = ParseOne(d);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_TRUE(values[0].IsRange);
  EXPECT_EQ(values[0].ReportCount, 1);
  EXPECT_EQ(values[0].Range.DataIndexMax, 3);
  auto report = Report(pp.get(), HidP_Input);
  ASSERT_EQ(report.size(), 7u);
  for (USAGE u = 0x10; u <= 0x13; ++u) {
    ASSERT_EQ(HidP_SetUsageValue(HidP_Input, 0xFF00, 0, u, 0xA00u + u, pp.get(), report.data(), Len(report)),
              HIDP_STATUS_SUCCESS);
  }
  for (USAGE u = 0x10; u <= 0x13; ++u) {
    ULONG v = 0;
    ASSERT_EQ(HidP_GetUsageValue(HidP_Input, 0xFF00, 0, u, &v, pp.get(), report.data(), Len(report)),
              HIDP_STATUS_SUCCESS);
    EXPECT_EQ(v, 0xA00u + u);
  }
  EXPECT_EQ(static_cast<uint8_t>(report[1]), 0x10);
  EXPECT_EQ(static_cast<uint8_t>(report[2]), 0x1A);
}

TEST(FieldTest, ThirtyTwoBitValue) {
  const Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x04, 0x95, 0x01, 0xB1, 0x03,  // 4-bit pad
                   0x09, 0x05, 0x17, 0x00, 0x00, 0x00, 0x80, 0x27, 0xFF, 0xFF, 0xFF, 0x7F,
                   0x75, 0x20, 0x95, 0x01, 0xB1, 0x02, 0x75, 0x04, 0xB1, 0x03, 0xC0};
  const auto pp = ParseOne(d);
  auto report = Report(pp.get(), HidP_Feature);
  ASSERT_EQ(report.size(), 6u);
  ASSERT_EQ(HidP_SetUsageValue(HidP_Feature, 0xFF00, 0, 5, 0x89ABCDEF, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  ULONG v = 0;
  ASSERT_EQ(HidP_GetUsageValue(HidP_Feature, 0xFF00, 0, 5, &v, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(v, 0x89ABCDEFu);
  EXPECT_EQ(static_cast<uint8_t>(report[1]), 0xF0);
  EXPECT_EQ(static_cast<uint8_t>(report[5]), 0x08);
}

// A 64-bit field (a pen's serial number) keeps its size in the caps and the
// report length; it cannot be read or written as a ULONG, and the fields
// after it work.
TEST(FieldTest, FieldWiderThanThirtyTwoBits) {
  const Bytes d = {0x05, 0x0D, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x5B, 0x75, 0x40, 0x95, 0x01, 0x81, 0x02,
                   0x09, 0x30, 0x75, 0x08, 0x81, 0x02, 0xC0};
  const auto pp = ParseOne(d);
  auto report = Report(pp.get(), HidP_Input);
  ASSERT_EQ(report.size(), 10u);
  const auto values = ValueCaps(pp.get(), HidP_Input);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].BitSize, 64);
  ULONG v = 0;
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x0D, 0, 0x5B, &v, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(HidP_SetUsageValue(HidP_Input, 0x0D, 0, 0x5B, 1, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  report[9] = 0x42;
  ASSERT_EQ(HidP_GetUsageValue(HidP_Input, 0x0D, 0, 0x30, &v, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(v, 0x42u);
}

TEST(FieldTest, ActiveButtonsOfVariablesAndArrays) {
  const auto kbd = ParseOne(kBootKeyboard);
  auto report = Report(kbd.get(), HidP_Input);
  report[1] = 0x22;  // Left Shift (E1) and Right Shift (E5)
  report[3] = 0x04;  // 'a'
  report[5] = 0x1D;  // 'z'
  const std::vector<uint32_t> expected = {0x700E1, 0x700E5, 0x70004, 0x7001D};
  EXPECT_EQ(ActiveUsages(kbd.get(), HidP_Input, report), expected);

  const auto mouse = ParseOne(kWheelMouse);
  auto m = Report(mouse.get(), HidP_Input);
  m[1] = 0x05;
  EXPECT_EQ(ActiveUsages(mouse.get(), HidP_Input, m), (std::vector<uint32_t>{0x90001, 0x90003}));

  // Variable bits declared Usage 1 .. Usage 8 come out newest first.
  const Bytes d = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x01, 0x09, 0x02, 0x09, 0x03, 0x09, 0x04, 0x09, 0x05,
                   0x09, 0x06, 0x09, 0x07, 0x09, 0x08, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
                   0xC0};
  const auto buttons = ParseOne(d);
  auto b = Report(buttons.get(), HidP_Input);
  b[1] = 0x28;  // usages 4 and 6
  EXPECT_EQ(ActiveUsages(buttons.get(), HidP_Input, b), (std::vector<uint32_t>{0x90006, 0x90004}));
}

TEST(FieldTest, ArrayOfListedUsagesIsOneBased) {
  // Array of usages 13..16 (one record each): value 1 selects 13, 0 is empty.
  const Bytes d = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x0D, 0x09, 0x0E, 0x09, 0x0F, 0x09, 0x10,
                   0x15, 0x01, 0x25, 0x04, 0x75, 0x08, 0x95, 0x02, 0x81, 0x00, 0xC0};
  const auto pp = ParseOne(d);
  const auto caps = ButtonCaps(pp.get(), HidP_Input);
  ASSERT_EQ(caps.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(caps[i].NotRange.Usage, 0x10 - i);
    EXPECT_EQ(caps[i].NotRange.DataIndex, 3 - i);
  }
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0, pp.get()), 8u);
  auto report = Report(pp.get(), HidP_Input);
  report[1] = 1;
  report[2] = 4;
  EXPECT_EQ(ActiveUsages(pp.get(), HidP_Input, report), (std::vector<uint32_t>{0x90010, 0x9000D}));
  report[1] = 0;
  report[2] = 5;  // beyond the list: ignored
  EXPECT_TRUE(ActiveUsages(pp.get(), HidP_Input, report).empty());
}

TEST(FieldTest, UsagesListTooSmallReportsRequiredCount) {
  const auto kbd = ParseOne(kBootKeyboard);
  auto report = Report(kbd.get(), HidP_Input);
  report[1] = 0x03;
  report[3] = 0x04;
  USAGE_AND_PAGE list[2]{};
  ULONG length = 2;
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, list, &length, kbd.get(), report.data(), Len(report)),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(list[0].Usage, 0xE0);
  EXPECT_EQ(list[1].Usage, 0xE1);
  USAGE usages[8]{};
  length = 8;
  EXPECT_EQ(HidP_GetUsages(HidP_Input, 0x07, 0, usages, &length, kbd.get(), report.data(), Len(report)),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 3u);
  length = 8;
  EXPECT_EQ(HidP_GetUsages(HidP_Input, 0x09, 0, usages, &length, kbd.get(), report.data(), Len(report)),
            HIDP_STATUS_USAGE_NOT_FOUND);
}

struct StatusCase {
  const char* name;
  HIDP_REPORT_TYPE type;
  uint8_t reportId;
  USAGE page, usage;
  int lengthDelta;  // added to the caps length; -1000 gives length 0
  bool nullModel;
  NTSTATUS expected;
};

class ValueStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ValueStatus, GetAndSetAgree) {
  const StatusCase& c = GetParam();
  const auto pp = ParseOne(kPowerDevice);
  auto report = Report(pp.get(), c.type == static_cast<HIDP_REPORT_TYPE>(5) ? HidP_Feature : c.type, c.reportId);
  report.resize(report.size() + 8);
  const ULONG length = c.lengthDelta == -1000 ? 0 : static_cast<ULONG>(static_cast<int>(report.size()) - 8 + c.lengthDelta);
  PHIDP_PREPARSED_DATA model = c.nullModel ? nullptr : pp.get();
  ULONG value = 77;
  EXPECT_EQ(HidP_GetUsageValue(c.type, c.page, 0, c.usage, &value, model, report.data(), length), c.expected);
  if (c.expected != HIDP_STATUS_SUCCESS) {
    EXPECT_EQ(value, 77u);
  }
  EXPECT_EQ(HidP_SetUsageValue(c.type, c.page, 0, c.usage, 1, model, report.data(), length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    PowerDevice, ValueStatus,
    ::testing::Values(
        StatusCase{"Found", HidP_Feature, 2, 0x84, 0x40, 0, false, HIDP_STATUS_SUCCESS},
        StatusCase{"OtherReportId", HidP_Feature, 1, 0x84, 0x40, 0, false, HIDP_STATUS_INCOMPATIBLE_REPORT_ID},
        StatusCase{"IdZeroSkipsTheCheck", HidP_Feature, 0, 0x84, 0x40, 0, false, HIDP_STATUS_SUCCESS},
        StatusCase{"UnknownUsage", HidP_Feature, 2, 0x84, 0x41, 0, false, HIDP_STATUS_USAGE_NOT_FOUND},
        StatusCase{"PageIsExact", HidP_Feature, 2, 0x85, 0x40, 0, false, HIDP_STATUS_USAGE_NOT_FOUND},
        StatusCase{"ButtonIsNoValue", HidP_Input, 2, 0x85, 0x44, 0, false, HIDP_STATUS_USAGE_NOT_FOUND},
        StatusCase{"OneByteLonger", HidP_Feature, 2, 0x84, 0x40, 1, false, HIDP_STATUS_INVALID_REPORT_LENGTH},
        StatusCase{"OneByteShorter", HidP_Feature, 2, 0x84, 0x40, -1, false, HIDP_STATUS_INVALID_REPORT_LENGTH},
        StatusCase{"LengthZeroFirst", static_cast<HIDP_REPORT_TYPE>(5), 2, 0x84, 0x40, -1000, true,
                   HIDP_STATUS_INVALID_REPORT_LENGTH},
        StatusCase{"ModelBeforeType", static_cast<HIDP_REPORT_TYPE>(5), 2, 0x84, 0x40, 0, true,
                   HIDP_STATUS_INVALID_PREPARSED_DATA},
        StatusCase{"TypeBeforeLength", static_cast<HIDP_REPORT_TYPE>(5), 2, 0x84, 0x40, 3, false,
                   HIDP_STATUS_INVALID_REPORT_TYPE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldTest, ButtonsInAnotherReportAreIncompatible) {
  const auto pp = ParseOne(kPowerDevice);
  auto report = Report(pp.get(), HidP_Input, 1);
  ULONG length = 4;
  USAGE_AND_PAGE list[4]{};
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, list, &length, pp.get(), report.data(), Len(report)),
            HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
  report[0] = 2;
  report[1] = 0x02;
  length = 4;
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, list, &length, pp.get(), report.data(), Len(report)), HIDP_STATUS_SUCCESS);
  ASSERT_EQ(length, 1u);
  EXPECT_EQ(list[0].Usage, 0x45);
  EXPECT_EQ(list[0].UsagePage, 0x85);
  auto feature = Report(pp.get(), HidP_Feature, 1);
  length = 4;
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Feature, 0, list, &length, pp.get(), feature.data(), Len(feature)),
            HIDP_STATUS_USAGE_NOT_FOUND);
}

TEST(FieldTest, InitializeReportForId) {
  const auto pp = ParseOne(kPowerDevice);
  std::vector<char> report(3, 0x55);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Feature, 2, pp.get(), report.data(), 3), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(report, (std::vector<char>{2, 0, 0}));
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Feature, 3, pp.get(), report.data(), 3),
            HIDP_STATUS_REPORT_DOES_NOT_EXIST);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Feature, 2, pp.get(), report.data(), 4),
            HIDP_STATUS_INVALID_REPORT_LENGTH);
}

}  // namespace
}  // namespace hid::testing
