// Generic device behaviour: report IDs and lengths, access, fault injection,
// unplugging, input in virtual time, cancelling reads, transcripts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "sim_test_support.h"

namespace hidhost::sim::testing {
namespace {

// Vendor collection: feature 1 (2 data bytes), feature 2 (4), input 3 (2),
// output 4 (1). Caps lengths: feature 5, input 3, output 2.
const char* kDescriptor =
    "06 00 FF 09 01 A1 01 85 01 09 01 15 00 26 FF 00 75 08 95 02 B1 02 85 02 09 02 95 04 B1 02 "
    "85 03 09 03 95 02 81 02 85 04 09 04 95 01 91 02 C0";

std::string Device(const std::string& extra) {
  return std::string(R"({"devices": [{"report_descriptor": ")") + kDescriptor + "\"" +
         (extra.empty() ? "" : ", " + extra) + "}]}";
}

std::unique_ptr<hidhost::Device> OpenFirst(TestHost& t, Access access = Access::ReadWrite) {
  return t.host->Open(Paths(*t.host).at(0), access);
}

TEST(DeviceRequests, FeatureReportsAreStoredPaddedAndCheckedForIdAndLength) {
  TestHost t = MakeJsonHost(Device(R"("feature_reports": {"1": "01 AA"})"));
  auto device = OpenFirst(t);
  ASSERT_TRUE(device);
  uint8_t buffer[5] = {1, 9, 9, 9, 9};
  ASSERT_TRUE(device->GetFeature(buffer, 5));
  EXPECT_EQ(Hex({buffer, buffer + 5}), "01 AA 00 00 00");
  buffer[0] = 2;
  ASSERT_TRUE(device->GetFeature(buffer, 5));
  EXPECT_EQ(Hex({buffer, buffer + 5}), "02 00 00 00 00");  // never written: zeros

  const uint8_t report2[5] = {2, 1, 2, 3, 4};
  ASSERT_TRUE(device->SetFeature(report2, 5));
  ASSERT_TRUE(device->GetFeature(buffer, 5));
  EXPECT_EQ(Hex({buffer, buffer + 5}), "02 01 02 03 04");

  struct Bad {
    uint8_t id;
    size_t length;
  };
  for (Bad bad : {Bad{3, 5}, Bad{9, 5}, Bad{0, 5}, Bad{1, 4}}) {
    SCOPED_TRACE(std::to_string(bad.id) + "/" + std::to_string(bad.length));
    uint8_t b[5] = {bad.id};
    SetLastError(0);
    EXPECT_FALSE(device->GetFeature(b, bad.length));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_FALSE(device->SetFeature(b, bad.length));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  }
  EXPECT_FALSE(device->GetFeature(nullptr, 5));
}

TEST(DeviceRequests, InputAndOutputNeedReadWriteAccess) {
  TestHost t = MakeJsonHost(Device(R"("input_reports": [{"delay_ms": 0, "data": "03 01"}])"));
  auto query = OpenFirst(t, Access::Query);
  uint8_t report[3] = {4, 0x7F};
  size_t got = 99;
  EXPECT_FALSE(query->ReadInput(report, 3, &got));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(query->WriteOutput(report, 2));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);

  auto device = OpenFirst(t);
  EXPECT_FALSE(device->ReadInput(report, 2, &got));  // shorter than the input length
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  ASSERT_TRUE(device->ReadInput(report, 3, &got));
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(Hex({report, report + 3}), "03 01 00");
  report[0] = 4;
  ASSERT_TRUE(device->WriteOutput(report, 2));
}

TEST(FaultInjection, FirstRequestsFailThenTheDeviceAnswers) {
  TestHost t = MakeJsonHost(Device(R"("fail_set_feature": 2, "fail_get_feature": 1)"));
  auto device = OpenFirst(t);
  const uint8_t report[5] = {1, 0x11, 0x22};
  for (int i = 0; i < 2; ++i) {
    SetLastError(0);
    EXPECT_FALSE(device->SetFeature(report, 5));
    EXPECT_EQ(GetLastError(), kErrorGenFailure);
  }
  EXPECT_TRUE(device->SetFeature(report, 5));
  uint8_t in[5] = {1};
  EXPECT_FALSE(device->GetFeature(in, 5));
  EXPECT_EQ(GetLastError(), kErrorGenFailure);
  ASSERT_TRUE(device->GetFeature(in, 5));
  EXPECT_EQ(in[1], 0x11);
}

TEST(FaultInjection, UnopenableDeviceIsListedButRefusesToOpen) {
  TestHost t = MakeJsonHost(R"({"devices": [{"preset": "reader", "openable": false}]})");
  std::vector<std::string> paths = Paths(*t.host);
  ASSERT_EQ(paths.size(), 2u);
  for (const std::string& path : paths) {
    EXPECT_FALSE(t.host->Open(path, Access::Query));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  }
}

TEST(Unplugging, DeviceDisappearsAndOpenHandlesFailWith1167) {
  TestHost t = MakeJsonHost(R"({"devices": [{"preset": "legacy-reader"}, {"preset": "reader", "unplug_after_ms": 500}]})");
  ASSERT_EQ(Paths(*t.host).size(), 4u);
  const std::string configPath = Paths(*t.host).at(3);
  auto device = t.host->Open(configPath, Access::ReadWrite);
  ASSERT_TRUE(device);
  t.clock->SleepMs(499);
  uint8_t report[9] = {};
  EXPECT_TRUE(device->GetFeature(report, 9));

  t.clock->SleepMs(1);
  EXPECT_EQ(Paths(*t.host).size(), 2u);  // the older reader stays
  Attributes a;
  EXPECT_FALSE(device->GetAttributes(&a));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_FALSE(device->GetFeature(report, 9));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_FALSE(device->SetFeature(report, 9));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_EQ(device->GetPreparsedData(), nullptr);
  wchar_t text[32];
  EXPECT_FALSE(device->GetProductString(text, sizeof text));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_FALSE(t.host->Open(configPath, Access::Query));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
}

TEST(Unplugging, PendingReadInVirtualTimeEndsAtTheUnplugTime) {
  TestHost t = MakeJsonHost(Device(R"("unplug_after_ms": 250, "input_reports": [{"delay_ms": 1000, "data": "03 01"}])"));
  auto device = OpenFirst(t);
  uint8_t report[3];
  EXPECT_FALSE(device->ReadInput(report, 3, nullptr));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_EQ(t.clock->NowMs(), 250u);
}

TEST(VirtualTime, InputReportsArriveOnScheduleFromTheFirstRead) {
  TestHost t = MakeJsonHost(Device(
      R"("repeat": true, "input_reports": [{"delay_ms": 100, "data": "03 01 02"}, {"delay_ms": 50, "data": "03 05"}])"));
  auto device = OpenFirst(t);
  t.clock->AdvanceMs(1000);  // the schedule starts with the first read, not before
  struct Expect {
    const char* report;
    uint64_t at;
  };
  for (Expect e : {Expect{"03 01 02", 1100}, Expect{"03 05 00", 1150}, Expect{"03 01 02", 1250},
                   Expect{"03 05 00", 1300}}) {
    uint8_t report[3];
    ASSERT_TRUE(device->ReadInput(report, 3, nullptr));
    EXPECT_EQ(Hex({report, report + 3}), e.report);
    EXPECT_EQ(t.clock->NowMs(), e.at);
  }
  EXPECT_TRUE(t.clock->Sleeps().empty());  // reads move time without sleeping
  // Reports already due when the read comes are delivered at once.
  t.clock->AdvanceMs(500);
  uint8_t report[3];
  ASSERT_TRUE(device->ReadInput(report, 3, nullptr));
  EXPECT_EQ(t.clock->NowMs(), 1800u);
}

TEST(VirtualTime, ClockRecordsSleepsAndNeverRunsBackwards) {
  VirtualClock clock;
  clock.SleepMs(10);
  clock.AdvanceMs(5);
  clock.SleepMs(300);
  clock.AdvanceTo(100);  // already later
  EXPECT_EQ(clock.NowMs(), 315u);
  clock.AdvanceTo(400);
  EXPECT_EQ(clock.NowMs(), 400u);
  EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{10, 300}));
  clock.ClearSleeps();
  EXPECT_TRUE(clock.Sleeps().empty());
}

TEST(Cancelling, PendingReadWithNothingScheduledEndsWith995) {
  TestHost t = MakeJsonHost(Device(""));
  auto device = OpenFirst(t);
  std::promise<void> started;
  auto result = std::async(std::launch::async, [&] {
    uint8_t report[3];
    started.set_value();
    bool ok = device->ReadInput(report, 3, nullptr);
    return std::make_pair(ok, GetLastError());
  });
  started.get_future().wait();
  uint8_t feature[5] = {1};
  EXPECT_TRUE(device->GetFeature(feature, 5));  // a waiting read does not hold the device
  device->CancelRead();
  auto [ok, error] = result.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, kErrorOperationAborted);
  uint8_t report[3];
  EXPECT_FALSE(device->ReadInput(report, 3, nullptr));  // later reads fail at once
  EXPECT_EQ(GetLastError(), kErrorOperationAborted);
}

TEST(Cancelling, RealTimeWaitForADistantReportIsCancelledAtOnce) {
  std::string error;
  auto host = SimulatedHost::CreateFromJson(
      Device(R"("input_reports": [{"delay_ms": 3600000, "data": "03 01"}])"), "test.json",
      MakeRealClock(), &error);
  ASSERT_EQ(error, "");
  auto device = host->Open(Paths(*host).at(0), Access::ReadWrite);
  std::promise<void> started;
  auto result = std::async(std::launch::async, [&] {
    uint8_t report[3];
    started.set_value();
    device->ReadInput(report, 3, nullptr);
    return GetLastError();
  });
  started.get_future().wait();
  device->CancelRead();
  EXPECT_EQ(result.get(), kErrorOperationAborted);
}

TEST(Routing, EachCollectionReadsOnlyItsOwnInputReports) {
  TestHost t = MakeJsonHost(R"({"devices": [{"report_descriptor":
      "06 00 FF 09 01 A1 01 85 01 09 01 75 08 95 01 81 02 C0 06 00 FF 09 02 A1 01 85 02 09 01 75 08 95 01 81 02 C0",
      "input_reports": [{"delay_ms": 10, "data": "01 11"}, {"delay_ms": 10, "data": "02 22"},
                        {"delay_ms": 10, "data": "01 33"}, {"delay_ms": 10, "data": "02 44"}]}]})");
  auto second = t.host->Open(Paths(*t.host).at(1), Access::ReadWrite);
  uint8_t report[2];
  ASSERT_TRUE(second->ReadInput(report, 2, nullptr));
  EXPECT_EQ(Hex({report, report + 2}), "02 22");
  ASSERT_TRUE(second->ReadInput(report, 2, nullptr));
  EXPECT_EQ(Hex({report, report + 2}), "02 44");
  EXPECT_EQ(t.clock->NowMs(), 40u);
}

TEST(Ups, InputReportsLoopThroughMainsFailureAndReturn) {
  TestHost t = MakePresetHost("ups");
  auto device = OpenFirst(t);
  std::vector<uint8_t> statuses;
  uint64_t cycleEnd = 0;
  for (int i = 0; i < 30; ++i) {
    uint8_t report[4];
    size_t got = 0;
    ASSERT_TRUE(device->ReadInput(report, 4, &got));
    EXPECT_EQ(got, 4u);
    if (report[0] == 1) statuses.push_back(report[1]);
    if (i == 14) cycleEnd = t.clock->NowMs();
  }
  constexpr uint8_t kAc = 0x01, kDischarging = 0x04, kShutdown = 0x10, kLost = 0x20;
  ASSERT_EQ(statuses.size(), 16u);
  auto first = std::find_if(statuses.begin(), statuses.end(), [](uint8_t s) { return !(s & kAc); });
  ASSERT_NE(first, statuses.end());
  EXPECT_TRUE(*first & kDischarging);
  EXPECT_TRUE(std::any_of(first, statuses.end(), [](uint8_t s) { return s & kShutdown; }));
  EXPECT_TRUE(std::any_of(first, statuses.end(), [](uint8_t s) { return s & kLost; }));
  EXPECT_TRUE(std::any_of(first, statuses.end(), [](uint8_t s) { return s & kAc; }));  // mains back
  EXPECT_EQ(std::vector<uint8_t>(statuses.begin(), statuses.begin() + 8),
            std::vector<uint8_t>(statuses.begin() + 8, statuses.end()));  // the cycle repeats
  EXPECT_EQ(t.clock->NowMs(), 2 * cycleEnd);
}

TEST(Transcript, EveryRequestIsOneLineInTheFileAndOnTheHost) {
  // Forward slashes: the path goes into JSON text unescaped (Windows takes them too).
  const std::string file =
      std::filesystem::path(::testing::TempDir() + "sim_transcript_test.txt").generic_string();
  std::remove(file.c_str());
  TestHost t = MakeJsonHost(Device(R"("transcript": ")" + file +
                                   R"(", "fail_get_feature": 1, "input_reports": [{"delay_ms": 5, "data": "03 0a"}])"));
  auto device = OpenFirst(t);
  const uint8_t set[5] = {0x01, 0xab, 0x0c};
  uint8_t get[5] = {0x02};
  uint8_t out[2] = {0x04, 0xff};
  uint8_t in[3];
  ASSERT_TRUE(device->SetFeature(set, 5));
  EXPECT_FALSE(device->GetFeature(get, 5));  // injected failure: still a request
  ASSERT_TRUE(device->GetFeature(get, 5));
  ASSERT_TRUE(device->WriteOutput(out, 2));
  ASSERT_TRUE(device->ReadInput(in, 3, nullptr));
  const std::vector<std::string> lines = {"SET_FEATURE 01 AB 0C 00 00", "GET_FEATURE 2",
                                          "GET_FEATURE 2", "OUTPUT 04 FF", "INPUT 03 0A 00"};
  std::ifstream in_file(file);
  std::vector<std::string> fileLines;
  for (std::string line; std::getline(in_file, line);) fileLines.push_back(line);
  EXPECT_EQ(fileLines, lines);
  std::vector<std::string> hostLines = t.host->Transcript();
  ASSERT_EQ(hostLines.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(hostLines[i], Paths(*t.host)[0] + " " + lines[i]);
  t.host->ClearTranscript();
  EXPECT_TRUE(t.host->Transcript().empty());
  std::remove(file.c_str());
}

}  // namespace
}  // namespace hidhost::sim::testing
