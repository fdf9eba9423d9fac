// Reports through the hidraw host and the emulated tree: feature reports,
// input reads with and without report IDs, output reports, cancelling and
// unplugging.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <thread>

#include "tree_fixture.h"

namespace hidhost::hidraw::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using FeatureReports = TreeTest;
using InputReports = TreeTest;
using OutputReports = TreeTest;

constexpr int kWatchdogMs = 10000;  // only ever reached when a test is broken

TEST_F(FeatureReports, GoWithTheirOwnLengthAndAreCheckedFirst) {
  auto definition = Definition(0x1111, 1, kKeyboardAndVendor);
  definition.featureReports[3] = {0x03, 1, 2, 3, 4};
  definition.featureReports[4] = {0x04, 9};
  EmulatedNode& node = Add(0, Model(definition));
  auto vendor = OpenOk(PathOf(0, 1), Access::Query);
  ASSERT_TRUE(vendor);

  struct Case {
    const char* name;
    Bytes report;  // the caller's buffer
    bool ok;
    uint32_t error;
    Bytes after;          // the buffer afterwards (get)
    const char* request;  // what the device saw, if anything
  } gets[] = {
      {"long report", {3, 0, 0, 0, 0}, true, 0, {3, 1, 2, 3, 4}, "GET_FEATURE len 5"},
      {"short report, rest zeroed", {4, 7, 7, 7, 7}, true, 0, {4, 9, 0, 0, 0}, "GET_FEATURE len 2"},
      {"longer buffer", {4, 7, 7, 7, 7, 7}, true, 0, {4, 9, 0, 0, 0, 0}, "GET_FEATURE len 2"},
      {"unknown ID", {2, 0, 0, 0, 0}, false, kErrorInvalidParameter, {}, nullptr},
      {"buffer below the caps length", {4, 0}, false, kErrorInvalidParameter, {}, nullptr},
  };
  for (Case& c : gets) {
    const size_t before = node.Requests().size();
    EXPECT_EQ(vendor->GetFeature(c.report.data(), c.report.size()), c.ok) << c.name;
    const auto requests = node.Requests();
    if (c.ok) {
      EXPECT_EQ(c.report, c.after) << c.name;
      ASSERT_EQ(requests.size(), before + 1) << c.name;
      EXPECT_EQ(requests.back(), c.request) << c.name;
    } else {
      EXPECT_EQ(GetLastError(), c.error) << c.name;
      EXPECT_EQ(requests.size(), before) << c.name << ": a refused request reached the device";
    }
  }

  Bytes set = {4, 0x55, 0xEE, 0xEE, 0xEE};  // only the first data byte belongs to report 4
  ASSERT_TRUE(vendor->SetFeature(set.data(), set.size()));
  EXPECT_EQ(node.Requests().back(), "SET_FEATURE len 2");
  Bytes get = {4, 0, 0, 0, 0};
  ASSERT_TRUE(vendor->GetFeature(get.data(), get.size()));
  EXPECT_EQ(get, (Bytes{4, 0x55, 0, 0, 0}));
}

TEST_F(FeatureReports, WithoutReportIdsByteZeroIsIgnoredAndKept) {
  // The reader's configuration collection: one 8-byte feature report, no IDs.
  const Bytes descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00,
                            0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};
  auto definition = Definition(0x1C5E, 0x2420, descriptor);
  definition.featureReports[0] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  Add(0, Model(definition));
  auto device = OpenOk(PathOf(0), Access::Query);
  ASSERT_TRUE(device);
  Bytes report(9, 0);
  report[0] = 0x77;
  ASSERT_TRUE(device->GetFeature(report.data(), report.size()));
  EXPECT_EQ(report, (Bytes{0x77, 1, 2, 3, 4, 5, 6, 7, 8}));
  Bytes set = {0x66, 8, 7, 6, 5, 4, 3, 2, 1};
  ASSERT_TRUE(device->SetFeature(set.data(), set.size()));
  Bytes again(9, 0);
  ASSERT_TRUE(device->GetFeature(again.data(), again.size()));
  EXPECT_EQ(again, (Bytes{0, 8, 7, 6, 5, 4, 3, 2, 1}));
}

// Straight to the node, as a real kernel answers: hidraw leaves report IDs
// to the device, which refuses one it lacks, and a non-blocking read of an
// empty queue does not wait.
TEST_F(FeatureReports, TheNodeLeavesReportIdsToTheDeviceAndNonBlockingReadsDoNotWait) {
  Add(0, Model(Definition(0x1111, 1, kKeyboardAndVendor)));
  const int fd = ::open((tree_->devRoot() + "/hidraw0").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  uint8_t report[5] = {9};
  EXPECT_EQ(::ioctl(fd, HIDIOCGFEATURE(sizeof report), report), -1);
  EXPECT_EQ(errno, EPIPE);
  uint8_t input[16];
  EXPECT_EQ(::read(fd, input, sizeof input), -1);
  EXPECT_EQ(errno, EAGAIN);
  ::close(fd);
}

TEST_F(FeatureReports, DeviceRefusalIsGenFailure) {
  auto definition = Definition(0x1111, 1, kKeyboardAndVendor);
  definition.failGetFeature = 1;
  Add(0, Model(definition));
  auto vendor = OpenOk(PathOf(0, 1), Access::Query);
  ASSERT_TRUE(vendor);
  Bytes report = {3, 0, 0, 0, 0};
  EXPECT_FALSE(vendor->GetFeature(report.data(), report.size()));
  EXPECT_EQ(GetLastError(), kErrorGenFailure);
  EXPECT_TRUE(vendor->GetFeature(report.data(), report.size()));
}

TEST_F(InputReports, WithoutReportIdsGetByteZeroAndThePadding) {
  auto definition = Definition(0x1111, 1, kBootKeyboard);
  definition.inputReports = {{0, {0, 0x02, 0, 0x04, 0, 0, 0, 0, 0}},  // Shift + A
                       {20, {0, 0, 0, 0, 0, 0, 0, 0, 0}}};
  Add(0, Model(definition));
  auto keyboard = OpenOk(PathOf(0), Access::ReadWrite);
  ASSERT_TRUE(keyboard);
  auto model = keyboard->GetPreparsedData();

  Bytes report(12, 0xEE);
  size_t received = 0;
  ASSERT_TRUE(keyboard->ReadInput(report.data(), report.size(), &received));
  ASSERT_EQ(received, 9u);
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 9), (Bytes{0, 0x02, 0, 0x04, 0, 0, 0, 0, 0}));
  hid::USAGE_AND_PAGE pressed[8];
  hid::ULONG count = 8;
  ASSERT_EQ(hid::HidP_GetUsagesEx(hid::HidP_Input, 0, pressed, &count, model.get(),
                                  reinterpret_cast<const char*>(report.data()), 9),
            hid::HIDP_STATUS_SUCCESS);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(pressed[0].Usage + pressed[1].Usage, 0xE1 + 0x04);  // Left Shift and A

  const uint64_t before = clock_->NowMs();
  ASSERT_TRUE(keyboard->ReadInput(report.data(), 9, &received));
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 9), Bytes(9, 0));
  EXPECT_GE(clock_->NowMs() - before, 20u) << "the second report came before its time";

  EXPECT_FALSE(keyboard->ReadInput(report.data(), 8, &received));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

TEST_F(InputReports, WithReportIdsGoToTheCollectionThatOwnsThem) {
  auto definition = Definition(0x1111, 1, kKeyboardAndVendor);
  definition.inputReports = {{0, {1, 0, 0, 0x05, 0, 0, 0, 0, 0}},
                       {0, {2, 0x34, 0x12}},
                       {0, {1, 0, 0, 0x06, 0, 0, 0, 0, 0}},
                       {0, {2, 0x78, 0x56}}};
  Add(0, Model(definition));
  auto keyboard = OpenOk(PathOf(0, 0), Access::ReadWrite);
  auto vendor = OpenOk(PathOf(0, 1), Access::ReadWrite);
  ASSERT_TRUE(keyboard && vendor);

  // Both open files see every report of the node; each interface keeps its own.
  Bytes report(9);
  size_t received = 0;
  ASSERT_TRUE(vendor->ReadInput(report.data(), 3, &received));
  EXPECT_EQ(received, 3u);
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 3), (Bytes{2, 0x34, 0x12}));
  hid::ULONG value = 0;
  ASSERT_EQ(hid::HidP_GetUsageValue(hid::HidP_Input, 0xFF00, 0, 0x10, &value,
                                    vendor->GetPreparsedData().get(),
                                    reinterpret_cast<const char*>(report.data()), 3),
            hid::HIDP_STATUS_SUCCESS);
  EXPECT_EQ(value, 0x34u);
  ASSERT_TRUE(vendor->ReadInput(report.data(), 3, &received));
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 3), (Bytes{2, 0x78, 0x56}));

  ASSERT_TRUE(keyboard->ReadInput(report.data(), 9, &received));
  EXPECT_EQ(report[0], 1);
  EXPECT_EQ(report[3], 0x05);
  ASSERT_TRUE(keyboard->ReadInput(report.data(), 9, &received));
  EXPECT_EQ(report[3], 0x06);
}

TEST_F(InputReports, CancelEndsAPendingReadAndEveryLaterOne) {
  Add(0, Model(Definition(0x1111, 1, kBootKeyboard)));  // never sends anything
  EmulatedNode* node = tree_->Node(0);
  auto keyboard = OpenOk(PathOf(0), Access::ReadWrite);
  ASSERT_TRUE(keyboard);
  auto pending = std::async(std::launch::async, [&] {
    Bytes report(9);
    size_t received = 0;
    const bool ok = keyboard->ReadInput(report.data(), report.size(), &received);
    return std::make_pair(ok, GetLastError());
  });
  ASSERT_TRUE(node->WaitForWaitingPoller(kWatchdogMs)) << "the read never waited on the node";
  keyboard->CancelRead();
  ASSERT_EQ(pending.wait_for(std::chrono::milliseconds(kWatchdogMs)), std::future_status::ready);
  EXPECT_EQ(pending.get(), std::make_pair(false, kErrorOperationAborted));

  Bytes report(9);
  size_t received = 0;
  EXPECT_FALSE(keyboard->ReadInput(report.data(), report.size(), &received));
  EXPECT_EQ(GetLastError(), kErrorOperationAborted);
  Attributes attributes;
  EXPECT_TRUE(keyboard->GetAttributes(&attributes)) << "cancelling reads closed the device";
}

TEST_F(InputReports, ClosingTheDeviceCancelsAReadOnAnotherThread) {
  Add(0, Model(Definition(0x1111, 1, kBootKeyboard)));
  auto keyboard = OpenOk(PathOf(0), Access::ReadWrite);
  ASSERT_TRUE(keyboard);
  Device* raw = keyboard.get();
  auto pending = std::async(std::launch::async, [raw] {
    Bytes report(9);
    size_t received = 0;
    const bool ok = raw->ReadInput(report.data(), report.size(), &received);
    return std::make_pair(ok, GetLastError());
  });
  ASSERT_TRUE(tree_->Node(0)->WaitForWaitingPoller(kWatchdogMs));
  keyboard.reset();  // returns once the read has let go of the device
  ASSERT_EQ(pending.wait_for(std::chrono::milliseconds(kWatchdogMs)), std::future_status::ready);
  EXPECT_EQ(pending.get(), std::make_pair(false, kErrorOperationAborted));
}

TEST_F(InputReports, UnplugDuringAReadGivesDeviceNotConnected) {
  auto definition = Definition(0x1111, 1, kKeyboardAndVendor);
  definition.inputReports = {{0, {2, 1, 1}}};
  Add(4, Model(definition));
  auto vendor = OpenOk(PathOf(4, 1), Access::ReadWrite);
  ASSERT_TRUE(vendor);
  Bytes report(3);
  size_t received = 0;
  ASSERT_TRUE(vendor->ReadInput(report.data(), report.size(), &received));

  auto pending = std::async(std::launch::async, [&] {
    Bytes r(3);
    size_t n = 0;
    const bool ok = vendor->ReadInput(r.data(), r.size(), &n);
    return std::make_pair(ok, GetLastError());
  });
  ASSERT_TRUE(tree_->Node(4)->WaitForWaitingPoller(kWatchdogMs));
  tree_->Unplug(4);
  ASSERT_EQ(pending.wait_for(std::chrono::milliseconds(kWatchdogMs)), std::future_status::ready);
  EXPECT_EQ(pending.get(), std::make_pair(false, kErrorDeviceNotConnected));

  // Everything else on the dead interface says the same; the path is gone.
  Attributes attributes;
  EXPECT_FALSE(vendor->GetAttributes(&attributes));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_EQ(vendor->GetPreparsedData(), nullptr);
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  Bytes feature = {3, 0, 0, 0, 0};
  EXPECT_FALSE(vendor->GetFeature(feature.data(), feature.size()));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  wchar_t text[32];
  EXPECT_FALSE(vendor->GetProductString(text, sizeof text));
  EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
  EXPECT_TRUE(Paths().empty());
  EXPECT_EQ(host_->Open(PathOf(4, 1), Access::Query), nullptr);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(OutputReports, AreWrittenWithTheirRealLengthAndNeedReadWriteAccess) {
  EmulatedNode& node = Add(0, Model(Definition(0x1111, 1, kBootKeyboard)));
  auto keyboard = OpenOk(PathOf(0), Access::ReadWrite);
  ASSERT_TRUE(keyboard);
  const Bytes leds = {0x9, 0x02, 0xEE};  // byte 0 ignored without IDs; one byte too many
  ASSERT_TRUE(keyboard->WriteOutput(leds.data(), leds.size()));
  EXPECT_EQ(node.Requests().back(), "WRITE len 2");
  const auto written = node.setup().model->OutputsWritten();
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0], (Bytes{0, 0x02}));

  EXPECT_FALSE(keyboard->WriteOutput(leds.data(), 1));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  auto query = OpenOk(PathOf(0), Access::Query);
  ASSERT_TRUE(query);
  EXPECT_FALSE(query->WriteOutput(leds.data(), leds.size()));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

}  // namespace
}  // namespace hidhost::hidraw::testing
