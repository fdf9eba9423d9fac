// libFuzzer target: any report descriptor as a simulated device, and any
// path text, through Tandril's exports. Input: one byte giving the path
// text's length (0 to 99), the path text, then the descriptor.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "hidhost/sim.h"
#include "sim_json.h"
#include "tandril.h"

namespace {

void Exercise(uint32_t device, const std::string& fuzzedPath) {
  char path[256];
  for (uint16_t index = 0; index < 2048; ++index) {
    uint16_t size = sizeof path;
    ItemInfo info{};
    SetLastHIDError(0);
    if (!GetItemByIndex(device, index, path, &size, &info)) {
      if (GetLastHIDError() == 0) break;
      continue;
    }
    int32_t value = 0;
    GetItemValue(device, path, &value);
    SetItemValue(device, path, value + 1);
    wchar_t text[64];
    GetItemString(device, path, text, sizeof text);
  }
  int32_t value = 0;
  GetItemValue(device, fuzzedPath.c_str(), &value);
  SetItemValue(device, fuzzedPath.c_str(), 1);
  std::vector<char> copy(fuzzedPath.begin(), fuzzedPath.end());
  copy.push_back('\0');
  ConvertItemPath(device, copy.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t pathLength = std::min<size_t>(data[0] % 100, size - 1);
  std::string fuzzedPath(reinterpret_cast<const char*>(data + 1), pathLength);
  fuzzedPath = fuzzedPath.substr(0, std::strlen(fuzzedPath.c_str()));

  tandril_test::SimDevice device;
  device.descriptor.assign(data + 1 + pathLength, data + size);
  std::string error;
  auto host = hidhost::sim::SimulatedHost::CreateFromJson(
      tandril_test::DeviceJson({device}), "fuzz", std::make_shared<hidhost::sim::VirtualClock>(),
      &error);
  if (!host || !error.empty()) return 0;
  hidhost::InstallHost(host);
  for (uint16_t position = 0; position < 4; ++position) {
    const uint32_t handle = OpenHIDDevice(position);
    if (!handle) break;
    Exercise(handle, fuzzedPath);
    CloseHIDDevice(handle);
  }
  return 0;
}
