// Enumeration, open and close, and the handle scheme.
#include <functional>
#include <iterator>
#include <thread>

#include "descriptor_builder.h"
#include "hidhost/host.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

SimDevice SmallDevice(uint16_t productId) {
  SimDevice d;
  d.productId = productId;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .Field(8, 1, 0, 255).Usage(0x20).Feature()
                     .EndCollection()
                     .bytes();
  return d;
}

// Wraps the simulated host to refuse read-write opens or to lose the report
// model, which the simulated devices themselves never do.
class FaultyHost : public hidhost::Host {
 public:
  FaultyHost(std::shared_ptr<hidhost::Host> inner, bool refuseReadWrite, bool loseModel)
      : inner_(std::move(inner)), refuseReadWrite_(refuseReadWrite), loseModel_(loseModel) {}

  bool EnumerateInterfaces(std::vector<std::string>* paths) override {
    return inner_->EnumerateInterfaces(paths);
  }
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override {
    ++opens[access == hidhost::Access::ReadWrite];
    if (refuseReadWrite_ && access == hidhost::Access::ReadWrite) {
      hidhost::SetLastError(hidhost::kErrorAccessDenied);
      return nullptr;
    }
    auto device = inner_->Open(path, access);
    if (!device || !loseModel_) return device;
    return std::make_unique<ModelLessDevice>(std::move(device));
  }
  hidhost::Clock& clock() override { return inner_->clock(); }

  int opens[2] = {0, 0};  // query, read-write

 private:
  // A device that is gone by the time its report model is asked for.
  struct ModelLessDevice : hidhost::Device {
    explicit ModelLessDevice(std::unique_ptr<hidhost::Device> d) : inner(std::move(d)) {}
    bool GetAttributes(hidhost::Attributes* out) override { return inner->GetAttributes(out); }
    hid::PreparsedPtr GetPreparsedData() override {
      hidhost::SetLastError(hidhost::kErrorDeviceNotConnected);
      return nullptr;
    }
    bool GetFeature(uint8_t* r, size_t n) override { return inner->GetFeature(r, n); }
    bool SetFeature(const uint8_t* r, size_t n) override { return inner->SetFeature(r, n); }
    bool ReadInput(uint8_t* r, size_t n, size_t* got) override { return inner->ReadInput(r, n, got); }
    void CancelRead() override { inner->CancelRead(); }
    bool WriteOutput(const uint8_t* r, size_t n) override { return inner->WriteOutput(r, n); }
    bool GetManufacturerString(wchar_t* b, size_t n) override { return inner->GetManufacturerString(b, n); }
    bool GetProductString(wchar_t* b, size_t n) override { return inner->GetProductString(b, n); }
    bool GetSerialNumberString(wchar_t* b, size_t n) override { return inner->GetSerialNumberString(b, n); }
    bool GetIndexedString(uint32_t i, wchar_t* b, size_t n) override {
      return inner->GetIndexedString(i, b, n);
    }
    std::unique_ptr<hidhost::Device> inner;
  };

  std::shared_ptr<hidhost::Host> inner_;
  bool refuseReadWrite_, loseModel_;
};

class DeviceOpenTest : public SimHostTest {};

TEST_F(DeviceOpenTest, EnumeratesUpToTheLastDeviceThenReportsNoMore) {
  Install({SmallDevice(0x11), SmallDevice(0x22), SmallDevice(0x33)});
  HIDDeviceAttributes a{};
  ASSERT_EQ(EnumHIDDevices(2, &a), 1);
  EXPECT_EQ(a.VendorID, 0x1234);
  EXPECT_EQ(a.ProductID, 0x33);
  EXPECT_EQ(a.VersionNumber, 0x0100);

  EXPECT_EQ(EnumHIDDevices(3, &a), 0);
  EXPECT_EQ(GetLastHIDError(), 1248u);
  EXPECT_EQ(EnumHIDDevices(0, nullptr), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

TEST_F(DeviceOpenTest, DeviceThatCannotBeOpenedEndsTheWalk) {
  SimDevice locked = SmallDevice(0x22);
  locked.openable = false;
  Install({SmallDevice(0x11), locked, SmallDevice(0x33)});
  HIDDeviceAttributes a{};
  EXPECT_EQ(EnumHIDDevices(0, &a), 1);
  EXPECT_EQ(EnumHIDDevices(2, &a), 0);
  EXPECT_EQ(GetLastHIDError(), 1248u);

  // A failed open leaves its slot empty; the device behind it still opens.
  EXPECT_EQ(OpenHIDDevice(1), 0u);
  EXPECT_NE(GetLastHIDError(), 0u);
  int32_t v = 0;
  EXPECT_EQ(GetItemValue(2, "ff00:01:0000&ff00:20:0000", &v), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
  EXPECT_EQ(OpenHIDDevice(2), 3u);
}

TEST_F(DeviceOpenTest, HandleIsPositionPlusOneAndClosesOnce) {
  Install({SmallDevice(0x11), SmallDevice(0x22)});
  EXPECT_EQ(OpenHIDDevice(0), 1u);
  EXPECT_EQ(OpenHIDDevice(1), 2u);
  EXPECT_EQ(CloseHIDDevice(2), 1);

  // Every export that takes a handle refuses 0, a closed slot and handles
  // past the table.
  const char* path = "ff00:01:0000&ff00:20:0000";
  char text[64] = "ff00:01:0000&ff00:20:0000";
  uint16_t size = sizeof text;
  ItemInfo info{};
  int32_t value = 0;
  wchar_t wide[16];
  const std::function<int32_t(uint32_t)> exports[] = {
      [&](uint32_t h) { return CloseHIDDevice(h); },
      [&](uint32_t h) { return GetItemByIndex(h, 0, text, &size, &info); },
      [&](uint32_t h) { return ConvertItemPath(h, text); },
      [&](uint32_t h) { return GetItemValue(h, path, &value); },
      [&](uint32_t h) { return SetItemValue(h, path, 1); },
      [&](uint32_t h) { return GetItemString(h, path, wide, sizeof wide); },
      [&](uint32_t h) { return SetEventHandler(h, nullptr, 0); },
      [&](uint32_t h) { return SetEventNotificationMask(h, 0xFF); },
      [&](uint32_t h) { return GetManufacturerString(h, wide, sizeof wide); },
      [&](uint32_t h) { return GetProductString(h, wide, sizeof wide); },
      [&](uint32_t h) { return GetSerialNumberString(h, wide, sizeof wide); },
  };
  for (uint32_t bad : {0u, 2u, 21u, 0xFFFFFFFFu}) {
    for (size_t i = 0; i < std::size(exports); ++i) {
      SetLastHIDError(0);
      EXPECT_EQ(exports[i](bad), 0) << "export " << i << " handle " << bad;
      EXPECT_EQ(GetLastHIDError(), 87u) << "export " << i << " handle " << bad;
    }
  }
  EXPECT_EQ(CloseHIDDevice(1), 1);
  EXPECT_EQ(CloseHIDDevice(1), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

TEST_F(DeviceOpenTest, RefusesPositionsWithoutSlotAndSlotsAlreadyOpen) {
  Install({SmallDevice(0x11)});
  EXPECT_EQ(OpenHIDDevice(20), 0u);
  EXPECT_EQ(GetLastHIDError(), 87u);
  EXPECT_EQ(OpenHIDDevice(1), 0u);  // no device there
  EXPECT_NE(GetLastHIDError(), 0u);

  ASSERT_EQ(OpenHIDDevice(0), 1u);
  EXPECT_EQ(OpenHIDDevice(0), 0u);
  EXPECT_EQ(GetLastHIDError(), 170u);
  // The first handle still works and closes once.
  EXPECT_EQ(PathAt(1, 0), "ff00:01:0000&ff00:20:0000");
  EXPECT_EQ(CloseHIDDevice(1), 1);
  EXPECT_EQ(CloseHIDDevice(1), 0);
}

TEST_F(DeviceOpenTest, LastErrorIsPerThreadAndSettable) {
  SetLastHIDError(4242);
  EXPECT_EQ(GetLastHIDError(), 4242u);
  uint32_t other = 1;
  std::thread([&] { other = GetLastHIDError(); }).join();
  EXPECT_EQ(other, 0u);
}

}  // namespace
}  // namespace tandril_test

namespace tandril_test {
namespace {

TEST_F(DeviceOpenTest, DeviceRefusingReadWriteIsOpenedForQueries) {
  SimDevice d = SmallDevice(0x11);
  d.features[0] = {0x00, 0x2B};
  Install({d});
  auto faulty = std::make_shared<FaultyHost>(host_, true, false);
  hidhost::InstallHost(faulty);
  ASSERT_EQ(OpenHIDDevice(0), 1u);
  EXPECT_EQ(faulty->opens[1], 1);
  int32_t v = 0;
  ASSERT_EQ(GetItemValue(1, "ff00:01:0000&ff00:20:0000", &v), 1);
  EXPECT_EQ(v, 0x2B);
}

TEST_F(DeviceOpenTest, DeviceWithoutReportModelIsClosedAndItsSlotLeftEmpty) {
  Install({SmallDevice(0x11)});
  hidhost::InstallHost(std::make_shared<FaultyHost>(host_, false, true));
  EXPECT_EQ(OpenHIDDevice(0), 0u);
  EXPECT_EQ(GetLastHIDError(), 1167u);
  EXPECT_EQ(CloseHIDDevice(1), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
}

}  // namespace
}  // namespace tandril_test
