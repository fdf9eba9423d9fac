#include <gtest/gtest.h>

#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"
#include "scripted_host.h"

namespace readerlink::testing {
namespace {

ScriptedInterface Interface(uint16_t vendor, uint16_t product, bool hasModel = true) {
  ScriptedInterface i;
  i.vendor = vendor;
  i.product = product;
  i.hasModel = hasModel;
  return i;
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { ReaderGeneration = kGenerationNone; }
};

TEST_F(DiscoveryTest, ProbeMatchesOnlyTheTwoReaderProducts) {
  auto host = InstallScriptedHost({
      Interface(0x046D, kCurrentReaderProductId),  // another vendor
      Interface(kReaderVendorId, 0x0000),          // the reader's keyboard interface
      Interface(kReaderVendorId, 0x1234),
      Interface(kReaderVendorId, kCurrentReaderProductId),
      Interface(kReaderVendorId, 0x1234),
  });
  struct Case { int32_t index; bool result; int32_t kind; int32_t generation; };
  const Case cases[] = {
      {0, true, 0, kGenerationNone}, {1, true, 0, kGenerationNone}, {2, true, 0, kGenerationNone},
      {3, true, kKindReader, kGenerationCurrent}, {4, true, 0, kGenerationCurrent},
      {5, false, 0, kGenerationCurrent}, {-1, false, 0, kGenerationCurrent},
  };
  ReaderDevice device;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    int32_t kind = -1;
    std::string path = "stale";
    EXPECT_EQ(device.ProbeInterface(&kind, c.index, &path), c.result);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(path, c.kind ? host->at(size_t(c.index)).path : "");
    EXPECT_EQ(ReaderGeneration, c.generation);
    EXPECT_EQ(device.GetHandle(), nullptr);  // the probe's own handle is gone again
  }
  EXPECT_EQ(device.RecordedProductId(), kCurrentReaderProductId);
}

TEST_F(DiscoveryTest, OpenByPathKeepsTheSamePathAndSwitchesToAnother) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kCurrentReaderProductId),
                                   Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(0x046D, 0x0001),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false)});
  host->at(0).path = "Scripted/Reader";
  ReaderDevice device;
  ASSERT_TRUE(device.OpenByPath("Scripted/Reader"));
  hidhost::Device* first = device.GetHandle();
  EXPECT_TRUE(device.OpenByPath("scripted/READER"));
  EXPECT_EQ(device.GetHandle(), first);
  EXPECT_EQ(host->at(0).opens, 1);

  ASSERT_TRUE(device.OpenByPath(host->at(1).path));
  EXPECT_EQ(device.GetDevicePath(), host->at(1).path);
  EXPECT_EQ(host->at(1).opens, 1);

  // Unusable paths leave the object closed.
  for (const std::string& path : {host->at(2).path, host->at(3).path, std::string("nowhere")}) {
    EXPECT_FALSE(device.OpenByPath(path));
    EXPECT_EQ(device.GetHandle(), nullptr);
    EXPECT_EQ(device.GetDevicePath(), "");
  }
  EXPECT_FALSE(device.OpenByPath(""));
}

TEST_F(DiscoveryTest, OpenByIndexOnAnOpenObjectIgnoresTheIndex) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kCurrentReaderProductId)});
  ReaderDevice device;
  EXPECT_FALSE(device.OpenByIndex(7));
  ASSERT_TRUE(device.OpenByIndex(0));
  EXPECT_TRUE(device.OpenByIndex(99));
  EXPECT_EQ(device.MemberIndex(), 0);
  EXPECT_TRUE(device.Close());
  EXPECT_TRUE(device.Close());
  EXPECT_EQ(device.GetHandle(), nullptr);
}

TEST_F(DiscoveryTest, DeviceTypeChoosesTheAccess) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kCurrentReaderProductId)});
  struct Case { int32_t asked; int32_t type; hidhost::Access access; };
  for (const Case& c : {Case{3, 3, hidhost::Access::Query}, Case{5, 5, hidhost::Access::ReadWrite},
                        Case{0, 5, hidhost::Access::ReadWrite}}) {
    ReaderDevice device(c.asked);
    EXPECT_EQ(device.GetDeviceType(), c.type);
    ASSERT_TRUE(device.OpenByIndex(0));
    EXPECT_EQ(host->at(0).lastAccess, c.access);
  }
}

TEST_F(DiscoveryTest, SendScanReachesEveryCurrentReaderAndReportsFailedOpens) {
  auto host = InstallScriptedHost({Interface(0x046D, 0x0001),
                                   Interface(kReaderVendorId, kCurrentReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false),
                                   Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId)});
  ReaderDevice device;
  std::vector<int32_t> visited;
  ::testing::internal::CaptureStdout();
  const int ran = ScanAndExchange(device, [&](ReaderDevice& d, int32_t index) {
    visited.push_back(index);
    EXPECT_EQ(d.GetDevicePath(), host->at(size_t(index)).path);
    d.Close();
  });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Fail to open device! \n");
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(visited, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(host->virtualClock().Sleeps(), (std::vector<uint32_t>{kExchangeLeadMs, kExchangeLeadMs}));
  EXPECT_EQ(ReaderGeneration, kGenerationCurrent);  // the reader probed last wins
}

TEST_F(DiscoveryTest, DetectionScanIsSilentAndOpensEveryMatchAfresh) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false),
                                   Interface(kReaderVendorId, kCurrentReaderProductId)});
  ReaderDevice device;
  std::vector<std::string> paths;
  ::testing::internal::CaptureStdout();
  const int found = ScanForReaders(device, [&](ReaderDevice& d, int32_t) {
    paths.push_back(d.GetDevicePath());  // left open on purpose
  });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(found, 2);
  EXPECT_EQ(paths, (std::vector<std::string>{host->at(0).path, host->at(2).path}));
  EXPECT_TRUE(host->virtualClock().Sleeps().empty());
  EXPECT_EQ(ReaderGeneration, kGenerationCurrent);
}

}  // namespace
}  // namespace readerlink::testing
