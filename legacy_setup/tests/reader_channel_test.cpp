// The reader channel against simulated hosts, with every Tandril call it
// makes recorded on the way to the real library.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim_reader.h"
#include "skelmar/reader_channel.h"

namespace skelmar_test {
namespace {

using skelmar::ReaderChannel;

struct CallLog {
  std::vector<std::string> calls;
  std::vector<uint16_t> opened;
  std::vector<int32_t> values;
};
CallLog g_log;

int32_t TANDRIL_CALL RecordEnum(uint16_t position, HIDDeviceAttributes* attributes) {
  g_log.calls.push_back("Enum");
  return EnumHIDDevices(position, attributes);
}
uint32_t TANDRIL_CALL RecordOpen(uint16_t position) {
  g_log.calls.push_back("Open");
  g_log.opened.push_back(position);
  return OpenHIDDevice(position);
}
int32_t TANDRIL_CALL RecordItem(uint32_t device, uint16_t index, char* path, uint16_t* size,
                                ItemInfo* info) {
  g_log.calls.push_back("Item");
  return GetItemByIndex(device, index, path, size, info);
}
int32_t TANDRIL_CALL RecordSet(uint32_t device, const char* path, int32_t value) {
  g_log.calls.push_back("Set");
  g_log.values.push_back(value);
  return SetItemValue(device, path, value);
}
int32_t TANDRIL_CALL RecordClose(uint32_t device) {
  g_log.calls.push_back("Close");
  return CloseHIDDevice(device);
}
const skelmar::TandrilCalls kRecording{&RecordEnum, &RecordOpen, &RecordItem, &RecordSet,
                                       &RecordClose};

class ReaderChannelTest : public SimReaderTest {
 protected:
  void SetUp() override { g_log = {}; }
  static std::vector<std::string> Calls() { return g_log.calls; }
  static std::string LastStep(const ReaderChannel& channel) {
    const std::string path = channel.ItemPath();
    return path.substr(path.rfind('&') + 1);
  }
};

std::string OtherVendor() { return VendorDevice(0x046D, {1}); }

TEST_F(ReaderChannelTest, NoDevicesFailsAfterOneEnumeration) {
  InstallPreset("none");
  ReaderChannel channel(kRecording);
  EXPECT_FALSE(channel.FindReader());
  EXPECT_EQ(Calls(), std::vector<std::string>{"Enum"});
  EXPECT_EQ(channel.DeviceHandle(), 0u);
}

TEST_F(ReaderChannelTest, TwoReadersUseTheLowerPosition) {
  InstallDevices({R"({"preset": "legacy-reader"})", R"({"preset": "legacy-reader"})"});
  ReaderChannel channel(kRecording);
  ASSERT_TRUE(channel.FindReader());
  EXPECT_EQ(g_log.opened, std::vector<uint16_t>{0});
  EXPECT_EQ(LastStep(channel).substr(0, 8), "ff2d:01:");
  EXPECT_TRUE(channel.SendSetupChar('x'));
  const std::vector<SetupWrite> writes = TakeWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].path, InterfacePaths()[0]);
  EXPECT_EQ(writes[0].value, 'x');
}

TEST_F(ReaderChannelTest, OnlyPositionsBelowTwentyCanBeOpened) {
  struct Case {
    int othersBefore;
    bool found;
  };
  for (const Case c : {Case{19, true}, Case{20, false}, Case{25, false}}) {
    SCOPED_TRACE(c.othersBefore);
    g_log = {};
    std::vector<std::string> devices(static_cast<size_t>(c.othersBefore), OtherVendor());
    devices.push_back(R"({"preset": "legacy-reader"})");
    InstallDevices(devices);
    ReaderChannel channel(kRecording);
    EXPECT_EQ(channel.FindReader(), c.found);
    EXPECT_EQ(g_log.opened, std::vector<uint16_t>{static_cast<uint16_t>(c.othersBefore)});
    EXPECT_EQ(channel.DeviceHandle(), c.found ? static_cast<uint32_t>(c.othersBefore) + 1 : 0u);
  }
}

TEST_F(ReaderChannelTest, SecondFindReaderMakesNoCalls) {
  InstallPreset("legacy-reader");
  ReaderChannel channel(kRecording);
  ASSERT_TRUE(channel.FindReader());
  g_log = {};
  EXPECT_TRUE(channel.FindReader());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ReaderChannelTest, PassesOverItemsWithAnotherUsage) {
  InstallDevices({VendorDevice(0x1C5E, {2, 3, 1})});
  ReaderChannel channel(kRecording);
  ASSERT_TRUE(channel.FindReader());
  EXPECT_EQ(LastStep(channel), "ff2d:01:0000");
  EXPECT_EQ(Calls(), (std::vector<std::string>{"Enum", "Open", "Item", "Item", "Item"}));
}

TEST_F(ReaderChannelTest, ReaderWithoutSetupItemIsClosedAgain) {
  InstallDevices({VendorDevice(0x1C5E, {2})});
  ReaderChannel channel(kRecording);
  EXPECT_FALSE(channel.FindReader());
  EXPECT_EQ(Calls(), (std::vector<std::string>{"Enum", "Open", "Item", "Item", "Close"}));
  EXPECT_EQ(channel.DeviceHandle(), 0u);
  EXPECT_STREQ(channel.ItemPath(), "");
}

TEST_F(ReaderChannelTest, OnlyTheFirstInterfaceWithTheVendorIdIsTried) {
  InstallDevices({VendorDevice(0x1C5E, {2}), R"({"preset": "legacy-reader"})"});
  ReaderChannel channel(kRecording);
  EXPECT_FALSE(channel.FindReader());
  EXPECT_EQ(g_log.opened, std::vector<uint16_t>{0});
}

TEST_F(ReaderChannelTest, HighCharacterCodesGoOutNegative) {
  InstallPreset("legacy-reader");
  ReaderChannel channel(kRecording);
  ASSERT_TRUE(channel.FindReader());
  EXPECT_TRUE(channel.SendSetupChar('\xE9'));
  EXPECT_TRUE(channel.SendSetupChar('\x7F'));
  EXPECT_EQ(g_log.values, (std::vector<int32_t>{-23, 127}));
  EXPECT_EQ(TakeWrittenText(), "\xE9\x7F");
}

TEST_F(ReaderChannelTest, CloseForgetsDeviceAndPathButKeepsCapsLock) {
  InstallPreset("legacy-reader");
  ReaderChannel channel(kRecording);
  EXPECT_FALSE(channel.SendSetupChar('A'));  // nothing open yet
  ASSERT_TRUE(channel.FindReader());
  channel.SetCapsLock(true);
  channel.CloseReader();
  channel.CloseReader();
  EXPECT_EQ(std::count(g_log.calls.begin(), g_log.calls.end(), "Close"), 1);
  EXPECT_EQ(channel.DeviceHandle(), 0u);
  EXPECT_STREQ(channel.ItemPath(), "");
  EXPECT_TRUE(channel.CapsLock());
  g_log = {};
  EXPECT_FALSE(channel.SendSetupChar('A'));
  EXPECT_TRUE(Calls().empty());
}

TEST(LastStepUsage, ReadsUsagePageAndUsageOfTheLastStep) {
  struct Case {
    const char* path;
    bool ok;
    unsigned long page, usage;
  };
  const Case cases[] = {
      {"ff2d:01:0000&ff2d:01:0000", true, 0xFF2D, 1},
      {"ff2d:01:0000&0001:30:0002&ff2d:02:0000", true, 0xFF2D, 2},
      {"ff2d:01", false, 0, 0},
      {"ff2d:01:0000:7", false, 0, 0},
      {"ff2d:01:0000&", false, 0, 0},
  };
  for (const Case& c : cases) {
    unsigned long page = 0, usage = 0;
    EXPECT_EQ(skelmar::LastStepUsage(c.path, &page, &usage), c.ok) << c.path;
    if (c.ok) {
      EXPECT_EQ(page, c.page) << c.path;
      EXPECT_EQ(usage, c.usage) << c.path;
    }
  }
}

}  // namespace
}  // namespace skelmar_test
