// The hidraw backend against the real kernel's hidraw nodes and sysfs, with
// hid-emulate's devices behind them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>

#include "hidhost/os_host.h"
#include "kernel_devices.h"

namespace kernel_test {
namespace {

using hidhost::Access;

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One host for the whole test: its devices use its node catalog.
hidhost::Host& OsHost() {
  static const std::shared_ptr<hidhost::Host> host = hidhost::MakeOsHost();
  return *host;
}

std::unique_ptr<hidhost::Device> Open(const std::string& node, Access access) {
  auto device = OsHost().Open(node, access);
  EXPECT_NE(device, nullptr) << node << ": " << hidhost::ErrorName(hidhost::GetLastError());
  return device;
}

TEST(HidrawOnKernel, ListsTheInterfacesInThePresetsOrderWithIdsAndStrings) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("both-readers", 4));
  std::vector<std::string> paths;
  ASSERT_TRUE(OsHost().EnumerateInterfaces(&paths));
  std::vector<size_t> positions;
  for (const EmulatedInterface& i : devices.interfaces()) {
    SCOPED_TRACE(i.node);
    const auto at = std::find(paths.begin(), paths.end(), i.node);
    ASSERT_NE(at, paths.end()) << "not listed";
    positions.push_back(static_cast<size_t>(at - paths.begin()));
    auto device = Open(i.node, Access::Query);
    ASSERT_NE(device, nullptr);
    hidhost::Attributes a;
    ASSERT_TRUE(device->GetAttributes(&a));
    EXPECT_EQ(a.VendorID, 0x1C5E);
    EXPECT_EQ(a.ProductID, i.index < 2 ? 0x0200 : 0x2420);
    // A uhid device has no USB device above it: the product string is the
    // HID device's name, the serial number its uniq, and there is no
    // manufacturer string.
    wchar_t text[128];
    ASSERT_TRUE(device->GetProductString(text, sizeof text));
    EXPECT_EQ(std::wstring(text), i.index < 2 ? L"Varnholt KAVRO USB KB Reader (older generation)"
                                              : L"Varnholt KAVRO USB KB Reader");
    ASSERT_TRUE(device->GetSerialNumberString(text, sizeof text));
    EXPECT_EQ(std::wstring(text), i.index < 2 ? L"KV0200-004711" : L"KV2420-001207");
    EXPECT_FALSE(device->GetManufacturerString(text, sizeof text));
    EXPECT_EQ(hidhost::GetLastError(), hidhost::kErrorGenFailure);
  }
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

// A keyboard's node belongs to root (0600). Someone else still sees it with
// a query open, from sysfs, but reaches none of its reports.
TEST(HidrawOnKernel, AQueryOpenOfARootOnlyNodeNeedsNoRightToTheNode) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("reader", 2));
  for (const EmulatedInterface& i : devices.interfaces()) {
    struct stat st {};
    ASSERT_EQ(::stat(i.node.c_str(), &st), 0);
    ASSERT_EQ(st.st_mode & 0077, 0u) << i.node << " is open to others; the test needs it root-only";
  }
  const pid_t child = ::fork();
  if (child == 0) {
    // As nobody. Each failed step exits with its own code.
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
    auto host = hidhost::MakeOsHost();
    auto keyboard = host->Open(devices.node(0), Access::Query);
    if (!keyboard) ::_exit(11);
    hidhost::Attributes a;
    if (!keyboard->GetAttributes(&a) || a.ProductID != 0x2420) ::_exit(12);
    hid::HIDP_CAPS caps{};
    auto model = keyboard->GetPreparsedData();
    if (!model || hid::HidP_GetCaps(model.get(), &caps) != hid::HIDP_STATUS_SUCCESS ||
        caps.UsagePage != 1 || caps.Usage != 6) {
      ::_exit(13);
    }
    if (host->Open(devices.node(0), Access::ReadWrite) || hidhost::GetLastError() != hidhost::kErrorAccessDenied) {
      ::_exit(14);
    }
    auto config = host->Open(devices.node(1), Access::Query);
    uint8_t report[9] = {};
    if (!config || config->GetFeature(report, sizeof report) ||
        hidhost::GetLastError() != hidhost::kErrorAccessDenied) {
      ::_exit(15);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the step that failed, from 10 on";
}

// Report IDs 1 (3 bytes) and 2 (9 bytes): each request carries its own
// report's length, read from the kernel's copy of the descriptor.
TEST(HidrawOnKernel, FeatureRequestsCarryTheirOwnReportsLength) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  const std::string transcript = "/tmp/kernel-feature-lengths.txt";
  std::remove(transcript.c_str());
  ASSERT_TRUE(devices.Start(R"({"devices": [{"vendor_id": "0x1234", "product_id": 1, "transcript": ")" +
                                transcript + R"(",
      "report_descriptor": "06 00 FF 09 01 A1 01 85 01 09 01 15 00 26 FF 00 75 08 95 02 B1 02 85 02 09 02 95 08 B1 02 C0"}]})",
                            1));
  auto device = Open(devices.node(0), Access::ReadWrite);
  ASSERT_NE(device, nullptr);
  hid::HIDP_CAPS caps{};
  hid::HidP_GetCaps(device->GetPreparsedData().get(), &caps);
  ASSERT_EQ(caps.FeatureReportByteLength, 9);
  uint8_t report[9] = {0x01, 0xAA, 0xBB};
  ASSERT_TRUE(device->SetFeature(report, sizeof report)) << hidhost::ErrorName(hidhost::GetLastError());
  uint8_t back[9] = {0x01, 0xEE, 0xEE, 0xEE};
  ASSERT_TRUE(device->GetFeature(back, sizeof back)) << hidhost::ErrorName(hidhost::GetLastError());
  EXPECT_EQ(std::vector<uint8_t>(back, back + 9), (std::vector<uint8_t>{0x01, 0xAA, 0xBB, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Lines(transcript), (std::vector<std::string>{"SET_FEATURE 01 AA BB", "GET_FEATURE 1"}));
  std::remove(transcript.c_str());
}

TEST(HidrawOnKernel, FeatureReportsWithoutReportIdsKeepByteZero) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start(R"({"devices": [{"preset": "reader", "answer_delay_reads": 0}]})", 2));
  auto config = Open(devices.node(1), Access::Query);
  ASSERT_NE(config, nullptr);
  uint8_t command[9] = {0x00, 0x02, 0x52, 0x24, 0x03, 0x77};  // review the language
  ASSERT_TRUE(config->SetFeature(command, sizeof command)) << hidhost::ErrorName(hidhost::GetLastError());
  uint8_t answer[9];
  std::fill(std::begin(answer), std::end(answer), 0xEE);
  answer[0] = 0;
  ASSERT_TRUE(config->GetFeature(answer, sizeof answer)) << hidhost::ErrorName(hidhost::GetLastError());
  EXPECT_EQ(std::vector<uint8_t>(answer, answer + 9),
            (std::vector<uint8_t>{0x00, 0x02, 0x06, '0', 0x03, 0x37, 0, 0, 0}));
}

// Input reports of a device without report IDs get byte 0 back; those of a
// device with IDs keep theirs.
TEST(HidrawOnKernel, InputReportsArriveInTheHostLayout) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start(R"({"devices": [
      {"vendor_id": "0x1234", "product_id": 2,
       "report_descriptor": "06 00 FF 09 01 A1 01 09 01 15 00 26 FF 00 75 08 95 02 81 02 C0",
       "input_reports": [{"delay_ms": 50, "data": "00 11 22"}]},
      {"vendor_id": "0x1234", "product_id": 3,
       "report_descriptor": "06 00 FF 09 01 A1 01 85 05 09 01 15 00 26 FF 00 75 08 95 01 81 02 C0",
       "input_reports": [{"delay_ms": 50, "data": "05 33"}]}]})",
                            2));
  const std::vector<std::vector<uint8_t>> expected = {{0x00, 0x11, 0x22}, {0x05, 0x33}};
  for (size_t i = 0; i < 2; ++i) {
    auto device = Open(devices.node(i), Access::ReadWrite);
    ASSERT_NE(device, nullptr);
    auto read = std::async(std::launch::async, [&] {
      std::vector<uint8_t> report(expected[i].size());
      size_t received = 0;
      if (!device->ReadInput(report.data(), report.size(), &received)) report.clear();
      return report;
    });
    if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      device->CancelRead();
      FAIL() << devices.node(i) << ": no input report within 10 s";
    }
    EXPECT_EQ(read.get(), expected[i]);
  }
}

// unplug_after_ms in a device file: hid-emulate removes each interface at
// its time; the listing loses it and an interface still open reports it gone.
TEST(HidrawOnKernel, AnUnpluggingDeviceLeavesTheListing) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start(R"({"devices": [{"preset": "legacy-reader", "unplug_after_ms": 2000}]})", 2));
  auto setup = Open(devices.node(0), Access::Query);
  ASSERT_NE(setup, nullptr);
  ASSERT_TRUE(devices.WaitForLine("1c5e:0200 interface 0 unplugged", 10000));
  ASSERT_TRUE(devices.WaitForLine("1c5e:0200 interface 1 unplugged", 10000));
  // The line comes as the removal starts; the listing follows within moments.
  std::vector<std::string> paths;
  for (int wait = 0; wait < 50; ++wait) {
    ASSERT_TRUE(OsHost().EnumerateInterfaces(&paths));
    if (std::find(paths.begin(), paths.end(), devices.node(0)) == paths.end() &&
        std::find(paths.begin(), paths.end(), devices.node(1)) == paths.end()) {
      break;
    }
    OsHost().clock().SleepMs(100);
  }
  EXPECT_EQ(std::find(paths.begin(), paths.end(), devices.node(0)), paths.end());
  EXPECT_EQ(std::find(paths.begin(), paths.end(), devices.node(1)), paths.end());
  uint8_t report[2] = {};
  EXPECT_FALSE(setup->GetFeature(report, sizeof report));
  EXPECT_EQ(hidhost::GetLastError(), hidhost::kErrorDeviceNotConnected);
}

// hid-emulate ends (SIGTERM) while a request waits for its answer, and while
// a read waits for a report: both fail as "device not connected", at once.
TEST(HidrawOnKernel, TheDeviceEndingDuringAnExchangeOrAReadFailsThemCleanly) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("reader", 2));
  auto keyboard = Open(devices.node(0), Access::ReadWrite);
  auto config = Open(devices.node(1), Access::Query);
  ASSERT_TRUE(keyboard && config);

  const auto start = std::chrono::steady_clock::now();
  auto read = std::async(std::launch::async, [&] {
    uint8_t report[9];
    size_t received = 0;
    const bool ok = keyboard->ReadInput(report, sizeof report, &received);
    return ok ? 0u : hidhost::GetLastError();
  });
  // Stopped, hid-emulate cannot answer: the request waits in the kernel.
  ASSERT_EQ(devices.Signal(SIGSTOP), 0);
  auto exchange = std::async(std::launch::async, [&] {
    uint8_t report[9] = {};
    const bool ok = config->GetFeature(report, sizeof report);
    return ok ? 0u : hidhost::GetLastError();
  });
  EXPECT_EQ(exchange.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
      << "the request did not wait for the stopped device";
  ::kill(devices.pid(), SIGTERM);
  ::kill(devices.pid(), SIGCONT);
  ASSERT_EQ(exchange.wait_for(std::chrono::seconds(4)), std::future_status::ready) << "the request hangs";
  EXPECT_EQ(exchange.get(), hidhost::kErrorDeviceNotConnected);
  if (read.wait_for(std::chrono::seconds(4)) != std::future_status::ready) {
    keyboard->CancelRead();
    FAIL() << "the read hangs";
  }
  EXPECT_EQ(read.get(), hidhost::kErrorDeviceNotConnected);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
      << "the kernel's own 5 s limit ended the request, not the device's end";
  EXPECT_EQ(devices.Signal(SIGTERM), 0) << "hid-emulate did not end cleanly";

  uint8_t report[9] = {};
  EXPECT_FALSE(config->GetFeature(report, sizeof report));
  EXPECT_EQ(hidhost::GetLastError(), hidhost::kErrorDeviceNotConnected);
}

}  // namespace
}  // namespace kernel_test
