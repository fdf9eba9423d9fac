// Device files: the accepted fields, and one clear stderr line for each
// kind of bad input, after which the host has no devices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim_test_support.h"

namespace hidhost::sim::testing {
namespace {

const char* kVendorDescriptor =
    "06 00 FF 09 01 A1 01 85 01 09 01 15 00 26 FF 00 75 08 95 02 B1 02 85 03 09 03 81 02 C0";

std::string One(const std::string& fields) { return R"({"devices": [{)" + fields + "}]}"; }
std::string Generic(const std::string& fields) {
  return One(std::string(R"("report_descriptor": ")") + kVendorDescriptor + "\"" +
             (fields.empty() ? "" : ", " + fields));
}

struct BadCase {
  const char* name;
  std::string json;
  std::string message;  // the error line after "test.json: "
};

class BadDeviceFile : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDeviceFile, OneLineOnStderrNamesFileAndFieldAndNoDevicesRemain) {
  const BadCase& c = GetParam();
  ::testing::internal::CaptureStderr();
  std::string error;
  TestHost t = MakeJsonHost(c.json, &error);
  const std::string stderrText = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(error.rfind("test.json: " + c.message, 0), 0u) << error;
  EXPECT_EQ(stderrText, error + "\n");
  EXPECT_EQ(error.find('\n'), std::string::npos);
  EXPECT_TRUE(Paths(*t.host).empty());
}

std::string Deep(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDeviceFile,
    ::testing::Values(
        BadCase{"NotJson", "{\"devices\": [", "(file): not valid JSON: parse error"},
        BadCase{"DeeplyNested", Deep(100000), "(file): expected an object"},
        BadCase{"RootNotObject", "[]", "(file): expected an object"},
        BadCase{"NoDevices", "{}", "devices: missing"},
        BadCase{"UnknownTopField", R"({"devices": [], "extra": 1})", "extra: unknown field"},
        BadCase{"DevicesNotList", R"({"devices": {}})", "devices: expected a list"},
        BadCase{"DeviceNotObject", R"({"devices": [1]})", "devices[0]: expected an object"},
        BadCase{"UnknownPreset", One(R"("preset": "printer")"), "devices[0].preset: unknown preset \"printer\""},
        BadCase{"PresetNotText", One(R"("preset": 3)"), "devices[0].preset: expected a text"},
        BadCase{"UnknownField", Generic(R"("colour": 1)"), "devices[0].colour: unknown field"},
        BadCase{"UnknownFieldOnPreset", One(R"("preset": "ups", "colour": 1)"), "devices[0].colour: unknown field"},
        BadCase{"ReaderFieldOnUps", One(R"("preset": "ups", "language": "1")"), "devices[0].language: unknown field"},
        BadCase{"GenericFieldOnPreset", One(R"("preset": "reader", "report_descriptor": "C0")"),
                "devices[0].report_descriptor: not taken by a preset device"},
        BadCase{"MissingDescriptor", One(R"("vendor_id": 1)"), "devices[0].report_descriptor: missing"},
        BadCase{"BadHex", One(R"("report_descriptor": "06 00 FG")"),
                "devices[0].report_descriptor: bad hex byte \"FG\" at byte 3"},
        BadCase{"LongHexToken", One(R"("report_descriptor": "0600")"),
                "devices[0].report_descriptor: bad hex byte \"0600\" at byte 1"},
        BadCase{"RefusedDescriptor", One(R"("report_descriptor": "A1 01 09 01")"),
                "devices[0].report_descriptor: refused by the parser"},
        BadCase{"EmptyDescriptor", One(R"("report_descriptor": "  ")"),
                "devices[0].report_descriptor: missing or empty"},
        BadCase{"VendorBadText", Generic(R"("vendor_id": "0xZZ")"), "devices[0].vendor_id: \"0xZZ\" is not a number"},
        BadCase{"VendorTooBig", Generic(R"("vendor_id": 70000)"), "devices[0].vendor_id: 70000 is above 65535"},
        BadCase{"VendorNegative", Generic(R"("vendor_id": -1)"), "devices[0].vendor_id: expected a whole number"},
        BadCase{"VersionFraction", Generic(R"("version": 1.5)"), "devices[0].version: expected a whole number"},
        BadCase{"ProductIdBool", Generic(R"("product_id": true)"), "devices[0].product_id: expected a whole number"},
        BadCase{"ManufacturerNumber", Generic(R"("manufacturer": 5)"), "devices[0].manufacturer: expected a text"},
        BadCase{"SerialTooLong", Generic(R"("serial": ")" + std::string(127, 'x') + "\""),
                "devices[0].serial: longer than 126 characters"},
        BadCase{"IndexedStringKey", Generic(R"("indexed_strings": {"x": "a"})"),
                "devices[0].indexed_strings.x: \"x\" is not a number"},
        BadCase{"IndexedStringsList", Generic(R"("indexed_strings": ["a"])"),
                "devices[0].indexed_strings: expected an object"},
        BadCase{"FeatureIdMismatch", Generic(R"("feature_reports": {"1": "02 00"})"),
                "devices[0].feature_reports.1: the data starts with report ID 2, not 1"},
        BadCase{"FeatureUnknownId", Generic(R"("feature_reports": {"7": "07"})"),
                "devices[0].feature_reports.7: the report descriptor has no feature report 7"},
        BadCase{"FeatureTooLong", Generic(R"("feature_reports": {"1": "01 02 03 04"})"),
                "devices[0].feature_reports.1: 4 bytes, longer than the 3-byte feature report"},
        BadCase{"FeatureEmpty", Generic(R"("feature_reports": {"1": ""})"),
                "devices[0].feature_reports.1: no data"},
        BadCase{"InputsNotList", Generic(R"("input_reports": {})"), "devices[0].input_reports: expected a list"},
        BadCase{"InputNoData", Generic(R"("input_reports": [{"delay_ms": 5}])"),
                "devices[0].input_reports[0].data: missing"},
        BadCase{"InputUnknownField", Generic(R"("input_reports": [{"delay": 5, "data": "03 00"}])"),
                "devices[0].input_reports[0].delay: unknown field"},
        BadCase{"InputUnknownId", Generic(R"("input_reports": [{"data": "09 01"}])"),
                "devices[0].input_reports[0].data: the report descriptor has no input report 9"},
        BadCase{"InputDelayNegative", Generic(R"("input_reports": [{"delay_ms": -5, "data": "03 01"}])"),
                "devices[0].input_reports[0].delay_ms: expected a whole number"},
        BadCase{"RepeatWithoutDelay", Generic(R"("repeat": true, "input_reports": [{"data": "03 01"}])"),
                "devices[0].repeat: a repeating input list needs a delay_ms above 0"},
        BadCase{"OpenableText", Generic(R"("openable": "no")"), "devices[0].openable: expected true or false"},
        BadCase{"FailCountNegative", Generic(R"("fail_set_feature": -1)"), "devices[0].fail_set_feature: expected a whole number"},
        BadCase{"UnplugText", Generic(R"("unplug_after_ms": "soon")"), "devices[0].unplug_after_ms: expected a whole number"},
        BadCase{"TranscriptUnwritable", Generic(R"("transcript": "/nonexistent-folder/t.txt")"),
                "devices[0].transcript: cannot open \"/nonexistent-folder/t.txt\" for writing"},
        BadCase{"ReportLengthTooSmall", One(R"("preset": "reader", "feature_report_length": 1)"),
                "devices[0].feature_report_length: must be at least 2"},
        BadCase{"ReportLengthTooBig", One(R"("preset": "reader", "feature_report_length": 5000)"),
                "devices[0].feature_report_length: 5000 is above 1024"},
        BadCase{"LanguageOutOfRange", One(R"("preset": "reader", "language": "Z")"),
                "devices[0].language: expected one character"},
        BadCase{"PollingZero", One(R"("preset": "reader", "polling_interval": 0)"),
                "devices[0].polling_interval: must be from 1 to 255"},
        BadCase{"VersionTextControl", One(R"("preset": "reader", "version_text": "a\tb")"),
                "devices[0].version_text: expected printable ASCII"},
        BadCase{"SecondDeviceBad", R"({"devices": [{"preset": "reader"}, {"preset": "ups", "openable": 1}]})",
                "devices[1].openable: expected true or false"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeviceFile, GenericFieldsReachTheDevice) {
  std::string error;
  TestHost t = MakeJsonHost(Generic(R"("vendor_id": "0x1c5e", "product_id": "8224", "version": 258,
      "manufacturer": "Fabrik \u00c4", "serial": "", "feature_reports": {"1": "1 fe"})"), &error);
  ASSERT_EQ(error, "");
  auto device = t.host->Open(Paths(*t.host).at(0), Access::Query);
  Attributes a;
  ASSERT_TRUE(device->GetAttributes(&a));
  EXPECT_EQ(a.VendorID, 0x1C5E);
  EXPECT_EQ(a.ProductID, 8224);
  EXPECT_EQ(a.VersionNumber, 258);
  wchar_t text[16];
  ASSERT_TRUE(device->GetManufacturerString(text, sizeof text));
  EXPECT_EQ(std::wstring(text), L"Fabrik \u00c4");
  ASSERT_TRUE(device->GetSerialNumberString(text, sizeof text));  // present, empty
  EXPECT_EQ(std::wstring(text), L"");
  uint8_t report[3] = {1};
  ASSERT_TRUE(device->GetFeature(report, 3));
  EXPECT_EQ(Hex({report, report + 3}), "01 FE 00");
}

TEST(DeviceFile, LoadedFromDiskWithTranscriptBesideIt) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / "sim_device_file_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "devices.json") << R"({"devices": [{"preset": "reader", "transcript": "log.txt"}]})";
  std::string error;
  auto clock = std::make_shared<VirtualClock>();
  auto host = SimulatedHost::Create((dir / "devices.json").string(), clock, &error);
  ASSERT_EQ(error, "");
  auto device = OpenConfigInterface(*host, 0x2420);
  ASSERT_TRUE(device);
  uint8_t report[9] = {};
  ASSERT_TRUE(device->GetFeature(report, 9));
  std::ifstream log(dir / "log.txt");
  std::string line;
  ASSERT_TRUE(std::getline(log, line));
  EXPECT_EQ(line, "GET_FEATURE 0");
  // Everything that holds the folder's files open goes first (Windows refuses otherwise).
  log.close();
  device.reset();
  host.reset();
  fs::remove_all(dir);
}

TEST(DeviceFile, FileOverFourMebibytesIsRefusedUnread) {
  const std::string file = ::testing::TempDir() + "sim_large_device_file.json";
  std::ofstream(file) << std::string(4 * 1024 * 1024 + 1, ' ');
  std::string error;
  ::testing::internal::CaptureStderr();
  auto host = SimulatedHost::Create(file, std::make_shared<VirtualClock>(), &error);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(error, file + ": (file): larger than 4 MiB");
  EXPECT_TRUE(Paths(*host).empty());
  std::filesystem::remove(file);
}

TEST(DeviceFile, MissingFileOrUnknownNameIsOneLineAndNoDevices) {
  ::testing::internal::CaptureStderr();
  std::string error;
  auto host = SimulatedHost::Create("/nonexistent/devices.json", std::make_shared<VirtualClock>(), &error);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), error + "\n");
  EXPECT_EQ(error.rfind("/nonexistent/devices.json: not a preset", 0), 0u) << error;
  EXPECT_TRUE(Paths(*host).empty());
}

}  // namespace
}  // namespace hidhost::sim::testing
