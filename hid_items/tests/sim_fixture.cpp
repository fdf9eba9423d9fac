#include "sim_fixture.h"

#include "tandril.h"

namespace tandril_test {

void SimHostTest::TearDown() {
  for (uint32_t handle = 1; handle <= 20; ++handle) CloseHIDDevice(handle);
}

void SimHostTest::Install(const std::vector<SimDevice>& devices) {
  clock_ = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  host_ = hidhost::sim::SimulatedHost::CreateFromJson(DeviceJson(devices), "test devices", clock_,
                                                      &error);
  ASSERT_TRUE(host_ && error.empty()) << error;
  hidhost::InstallHost(host_);
}

uint32_t SimHostTest::InstallAndOpen(const SimDevice& device) {
  Install({device});
  const uint32_t handle = OpenHIDDevice(0);
  EXPECT_EQ(handle, 1u) << "last error " << GetLastHIDError();
  host_->ClearTranscript();
  return handle;
}

std::vector<std::string> SimHostTest::Transcript() const { return host_->Transcript(); }

std::vector<std::string> SimHostTest::Requests(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& line : host_->Transcript()) {
    const size_t space = line.find(' ');
    const std::string request = space == std::string::npos ? line : line.substr(space + 1);
    if (request.rfind(prefix, 0) == 0) found.push_back(request);
  }
  return found;
}

std::string PathAt(uint32_t device, uint16_t index) {
  char path[256];
  uint16_t size = sizeof path;
  ItemInfo info{};
  if (!GetItemByIndex(device, index, path, &size, &info)) return "";
  return path;
}

}  // namespace tandril_test
