// The Windows host through the scripted table: the kept interface list, open
// modes, the report model, cancelled reads and strings.
#include <gtest/gtest.h>

#include <thread>

#include "hidhost/sim.h"
#include "scripted_api.h"
#include "windows_host.h"

namespace hidhost::win::testing {
namespace {

const std::string kPath = "\\\\?\\hid#vid_1c5e&pid_2420#7&1&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class WindowsHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    api_->paths = {std::wstring(kPath.begin(), kPath.end())};
    api_->SetDescriptor({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00,
                         0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0x09, 0x03, 0xB1, 0x02, 0xC0});
  }
  std::shared_ptr<ScriptedApi> api_ = std::make_shared<ScriptedApi>();
  WindowsHost host_{api_, std::make_shared<sim::VirtualClock>()};
};

const std::wstring kOtherPath = L"\\\\?\\hid#vid_1c5e&pid_2420#7&2&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

TEST_F(WindowsHostTest, ListIsReadOnceWhileTheSystemTellsOfNoChange) {
  std::vector<std::string> paths;
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  EXPECT_EQ(api_->listReads, 1);
  EXPECT_EQ(paths, std::vector<std::string>{kPath});
}

TEST_F(WindowsHostTest, ChangeToldBySystemMakesNextCallReadTheListAgain) {
  std::vector<std::string> paths;
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  api_->paths.push_back(kOtherPath);
  ASSERT_TRUE(api_->changed);
  api_->changed();
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  EXPECT_EQ(api_->listReads, 2);
  EXPECT_EQ(paths.size(), 2u);
}

TEST_F(WindowsHostTest, ListOlderThanItsMaximumAgeIsReadAgainUntold) {
  std::vector<std::string> paths;
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  api_->paths.push_back(kOtherPath);
  host_.clock().SleepMs(kListMaxAgeMs - 1);
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  EXPECT_EQ(paths.size(), 1u);
  host_.clock().SleepMs(1);
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  EXPECT_EQ(paths.size(), 2u);
}

TEST_F(WindowsHostTest, WithoutTheSystemsWatchEveryCallReadsTheList) {
  api_->watchFails = true;
  std::vector<std::string> paths;
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  api_->paths.push_back(kOtherPath);
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  EXPECT_EQ(api_->listReads, 2);
  EXPECT_EQ(paths.size(), 2u);
}

TEST_F(WindowsHostTest, QueryOpenAsksForNoAccessAndReadWriteOpenIsOverlapped) {
  std::vector<std::string> paths;
  ASSERT_TRUE(host_.EnumerateInterfaces(&paths));
  ASSERT_EQ(paths.size(), 1u);
  auto query = host_.Open(paths[0], Access::Query);
  auto readWrite = host_.Open(paths[0], Access::ReadWrite);
  ASSERT_TRUE(query && readWrite);
  ASSERT_EQ(api_->opens.size(), 2u);
  EXPECT_EQ(api_->opens[0].access, 0u);
  EXPECT_FALSE(api_->opens[0].overlapped);
  EXPECT_EQ(api_->opens[1].access, kGenericRead | kGenericWrite);
  EXPECT_TRUE(api_->opens[1].overlapped);

  uint8_t report[4] = {};
  size_t received = 0;
  EXPECT_FALSE(query->ReadInput(report, sizeof report, &received));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(host_.Open("\\\\?\\hid#other", Access::Query), nullptr);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(WindowsHostTest, ReportModelComesFromThePreparsedData) {
  auto device = host_.Open(kPath, Access::Query);
  ASSERT_TRUE(device);
  const hid::PreparsedPtr model = device->GetPreparsedData();
  ASSERT_TRUE(model);
  EXPECT_EQ(hid::DumpPreparsedData(model.get()), hid::DumpPreparsedData(api_->model.get()));
  EXPECT_EQ(device->GetPreparsedData(), model) << "the model is built once per open device";
}

TEST_F(WindowsHostTest, CancelEndsAPendingReadAndEveryLaterOne) {
  auto device = host_.Open(kPath, Access::ReadWrite);
  ASSERT_TRUE(device);
  uint32_t pendingError = 0;
  std::thread reader([&] {
    uint8_t report[4];
    size_t received = 0;
    EXPECT_FALSE(device->ReadInput(report, sizeof report, &received));
    pendingError = GetLastError();
  });
  device->CancelRead();
  reader.join();
  EXPECT_EQ(pendingError, kErrorOperationAborted);
  uint8_t report[4];
  size_t received = 0;
  EXPECT_FALSE(device->ReadInput(report, sizeof report, &received));
  EXPECT_EQ(GetLastError(), kErrorOperationAborted);
}

TEST_F(WindowsHostTest, StringsAreUtf16AndAShortBufferFailsWholly) {
  auto device = host_.Open(kPath, Access::Query);
  ASSERT_TRUE(device);
  wchar_t buffer[32];
  ASSERT_TRUE(device->GetProductString(buffer, sizeof buffer));
  EXPECT_EQ(std::wstring(buffer), L"Card Reader");
  static_assert(sizeof(wchar_t) == 2);
  buffer[0] = L'x';
  EXPECT_FALSE(device->GetProductString(buffer, 11 * sizeof(wchar_t)));  // no room for the NUL
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(buffer[0], L'x');
}

}  // namespace
}  // namespace hidhost::win::testing
