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
  constexpr InterfaceKind kOther = InterfaceKind::Other;
  struct Case { int32_t index; bool result; InterfaceKind kind; int32_t generation; };
  const Case cases[] = {
      {0, true, kOther, kGenerationNone}, {1, true, kOther, kGenerationNone},
      {2, true, kOther, kGenerationNone}, {3, true, InterfaceKind::Reader, kGenerationCurrent},
      {4, true, kOther, kGenerationCurrent}, {5, false, kOther, kGenerationCurrent},
      {-1, false, kOther, kGenerationCurrent},
  };
  ReaderDevice device;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    InterfaceKind kind = InterfaceKind::Reader;
    std::string path = "stale";
    EXPECT_EQ(device.ProbeInterface(&kind, c.index, &path), c.result);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(path, c.kind == InterfaceKind::Reader ? host->at(size_t(c.index)).path : "");
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

TEST_F(DiscoveryTest, OpenUsesTheAccessAskedFor) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kCurrentReaderProductId),
                                   Interface(0x046D, kCurrentReaderProductId)});
  for (hidhost::Access access : {hidhost::Access::Query, hidhost::Access::ReadWrite}) {
    const std::unique_ptr<ReaderDevice> device = Open(host->at(0).path, access);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetAccess(), access);
    EXPECT_EQ(host->at(0).lastAccess, access);
  }
  EXPECT_EQ(Open(host->at(1).path), nullptr);  // another vendor
  EXPECT_EQ(Open("nowhere"), nullptr);
}

TEST_F(DiscoveryTest, ScanListsEachReaderInterfaceWithItsGenerationFromOneEnumeration) {
  auto host = InstallScriptedHost({Interface(0x046D, 0x0001),
                                   Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(kReaderVendorId, 0x0000),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false)});
  const std::vector<ReaderInterface> readers = ScanReaders();
  ASSERT_EQ(readers.size(), 2u);
  EXPECT_EQ(readers[0].position, 1);
  EXPECT_EQ(readers[0].path, host->at(1).path);
  EXPECT_EQ(readers[0].generation, Generation::Legacy);
  EXPECT_EQ(readers[1].position, 3);
  EXPECT_EQ(readers[1].productId, kCurrentReaderProductId);
  EXPECT_EQ(readers[1].generation, Generation::Current);
  EXPECT_EQ(host->enumerations, 1);
}

TEST_F(DiscoveryTest, SendScanReachesEveryCurrentReaderAndReportsFailedOpens) {
  auto host = InstallScriptedHost({Interface(0x046D, 0x0001),
                                   Interface(kReaderVendorId, kCurrentReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false),
                                   Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId)});
  std::vector<int32_t> visited;
  std::vector<std::string> failed;
  ::testing::internal::CaptureStdout();
  const int ran = ScanAndExchange(
      [&](ReaderDevice& d, const ReaderInterface& reader) {
        visited.push_back(reader.position);
        EXPECT_EQ(d.GetDevicePath(), reader.path);
        d.Close();
      },
      [&](const ReaderInterface& reader) { failed.push_back(reader.path); });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");  // the caller's sink tells, the link does not
  EXPECT_EQ(failed, std::vector<std::string>{host->at(2).path});
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(visited, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(host->virtualClock().Sleeps(), (std::vector<uint32_t>{kExchangeLeadMs, kExchangeLeadMs}));
  EXPECT_EQ(ReaderGeneration, kGenerationCurrent);  // the reader probed last wins
}

TEST_F(DiscoveryTest, DetectionScanIsSilentAndOpensEveryMatchAfresh) {
  auto host = InstallScriptedHost({Interface(kReaderVendorId, kLegacyReaderProductId),
                                   Interface(kReaderVendorId, kCurrentReaderProductId, false),
                                   Interface(kReaderVendorId, kCurrentReaderProductId)});
  std::vector<std::string> paths;
  ::testing::internal::CaptureStdout();
  const int found = ScanForReaders([&](ReaderDevice& d, const ReaderInterface&) {
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
