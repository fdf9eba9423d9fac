// The suite's reader clients against hid-emulate's readers through the real
// kernel: Pelorin's reader link and pelorin-cli, Tandril, and Skelmar's
// reader channel with the reply the reader types on its keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "hidhost/os_host.h"
#include "hidhost/sim.h"
#include "kernel_devices.h"
#include "reader_link/command_codec.h"
#include "reader_link/exchange_result.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"
#include "skelmar/reader_channel.h"
#include "tandril.h"

namespace kernel_test {
namespace {

// The answers of every reader interface of the process's host to one command.
std::vector<std::string> Send(const std::vector<uint8_t>& command) {
  const std::vector<uint8_t> frame = readerlink::BuildHexFrame(command);
  std::vector<std::string> answers;
  readerlink::ScanAndExchange(
      [&](readerlink::ReaderDevice& reader, const readerlink::ReaderInterface&) {
        const readerlink::InterfaceExchange exchange = reader.Exchange(frame);
        if (exchange.answered) answers.push_back(readerlink::HexBytesText(exchange.answer));
      },
      nullptr);
  return answers;
}

// Key presses of a boot keyboard's reports as text (letters, digits, space
// and Enter as "\r"); releases give nothing.
std::string TypedText(const std::vector<std::vector<uint8_t>>& reports) {
  std::string text;
  for (const auto& r : reports) {
    const uint8_t key = r.size() > 3 ? r[3] : 0;  // byte 0 is the ID byte the host layer adds
    const bool shift = (r[1] & 0x22) != 0;
    if (key >= 0x04 && key <= 0x1D) text += static_cast<char>((shift ? 'A' : 'a') + key - 0x04);
    else if (key >= 0x1E && key <= 0x26) text += static_cast<char>('1' + key - 0x1E);
    else if (key == 0x27) text += '0';
    else if (key == 0x2C) text += ' ';
    else if (key == 0x28) text += '\r';
  }
  return text;
}

TEST(ReadersOnKernel, TheReaderLinkWritesAndReviewsASetting) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("reader", 2));
  hidhost::InstallHost(hidhost::MakeOsHost());
  const auto written = Send({0x53, 0x24, 0x01, 0x33});
  const auto reviewed = Send({0x52, 0x24});
  hidhost::InstallHost(nullptr);
  auto simulated = hidhost::sim::SimulatedHost::Create("reader", std::make_shared<hidhost::sim::VirtualClock>());
  hidhost::InstallHost(simulated);
  EXPECT_EQ(written, Send({0x53, 0x24, 0x01, 0x33}));
  EXPECT_EQ(reviewed, Send({0x52, 0x24}));
  hidhost::InstallHost(nullptr);
  EXPECT_EQ(reviewed, std::vector<std::string>{"02 06 33 03 34 "});
}

TEST(ReadersOnKernel, PelorinCliFindsTheReaderAndReadsItsVersion) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("reader", 2));
  std::string output;
  ASSERT_EQ(RunProgram({BuildProgram("pelorin-cli"), "status"}, &output), 0) << output;
  EXPECT_NE(output.find("current reader (0x2420) at " + devices.node(1)), std::string::npos) << output;
  ASSERT_EQ(RunProgram({BuildProgram("pelorin-cli"), "version"}, &output), 0) << output;
  EXPECT_NE(output.find("Firmware Version: KAVRO KB V2.15"), std::string::npos) << output;
}

// In the manner of Tandril's own tests: the UPS's items, a feature value,
// the strings and the events of its input reports.
struct FirstEvent {
  std::atomic<bool> taken{false};
  std::promise<uint32_t> code;
};

int32_t TANDRIL_CALL TakeFirstEvent(uintptr_t context, uint32_t code) {
  auto* first = reinterpret_cast<FirstEvent*>(context);
  if (first != nullptr && !first->taken.exchange(true)) first->code.set_value(code);
  return 1;
}

TEST(ReadersOnKernel, TandrilReadsItemsStringsAndEventsOfTheUps) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("ups", 1));
  uint16_t position = 0;
  HIDDeviceAttributes attributes{};
  while (EnumHIDDevices(position, &attributes) == 1 && attributes.VendorID != 0x3B1D) ++position;
  ASSERT_EQ(attributes.VendorID, 0x3B1D);
  uint32_t device = OpenHIDDevice(position);
  ASSERT_NE(device, 0u) << GetLastHIDError();

  char path[256];
  uint16_t size = sizeof path;
  ItemInfo info{};
  ASSERT_EQ(GetItemByIndex(device, 12, path, &size, &info), 1);
  EXPECT_STREQ(path, "0084:04:0000&0084:12:0002&0084:30:0003");
  int32_t value = 0;
  ASSERT_EQ(GetItemValue(device, path, &value), 1) << GetLastHIDError();
  EXPECT_EQ(value, 2760);
  ASSERT_EQ(SetItemValue(device, path, 2400), 1) << GetLastHIDError();
  // Reads serve the report fetched first; the device opened afresh fetches
  // the report written.
  ASSERT_EQ(CloseHIDDevice(device), 1);
  device = OpenHIDDevice(position);
  ASSERT_NE(device, 0u) << GetLastHIDError();
  ASSERT_EQ(GetItemValue(device, path, &value), 1);
  EXPECT_EQ(value, 2400) << "the feature report written did not come back";

  wchar_t text[64];
  ASSERT_EQ(GetProductString(device, text, sizeof text), 1);
  EXPECT_EQ(std::wstring(text), L"Orvane Power Orvane UPS 1500");
  ASSERT_EQ(GetSerialNumberString(device, text, sizeof text), 1);
  EXPECT_EQ(std::wstring(text), L"OV1500-2231-0042");

  // The first status report (about 1 s after the first read): on mains, charging.
  FirstEvent seen;
  auto first = seen.code.get_future();
  ASSERT_EQ(SetEventNotificationMask(device, TANDRIL_EVENT_AC_PRESENT), 1);
  ASSERT_EQ(SetEventHandler(device, &TakeFirstEvent, reinterpret_cast<uintptr_t>(&seen)), 1);
  const bool arrived = first.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  EXPECT_TRUE(arrived) << "no event within 10 s";
  if (arrived) {
    EXPECT_EQ(first.get(), TANDRIL_EVENT_AC_PRESENT);
  }
  EXPECT_EQ(CloseHIDDevice(device), 1);  // waits for a callback still running
}

// Skelmar writes a setup string through its channel, one character per
// feature report; the reader types its reply on its keyboard interface.
TEST(ReadersOnKernel, SkelmarsChannelGetsTheReplyTypedOnTheKeyboard) {
  REQUIRE_KERNEL();
  KernelDevices devices;
  ASSERT_TRUE(devices.Start("legacy-reader", 2));
  auto host = hidhost::MakeOsHost();
  auto keyboard = host->Open(devices.node(1), hidhost::Access::ReadWrite);
  ASSERT_NE(keyboard, nullptr);
  auto typed = std::async(std::launch::async, [&] {
    std::vector<std::vector<uint8_t>> reports;
    while (TypedText(reports).find('\r') == std::string::npos) {
      std::vector<uint8_t> report(9);
      size_t received = 0;
      if (!keyboard->ReadInput(report.data(), report.size(), &received)) break;
      reports.push_back(report);
    }
    return TypedText(reports);
  });

  skelmar::ReaderChannel channel;
  ASSERT_TRUE(channel.FindReader());
  for (const char c : std::string("Ab1 \r")) EXPECT_TRUE(channel.SendSetupChar(c));
  channel.CloseReader();
  if (typed.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    keyboard->CancelRead();
    FAIL() << "the reader typed no reply within 10 s";
  }
  EXPECT_EQ(typed.get(), "Ab1  OK\r");
}

}  // namespace
}  // namespace kernel_test
