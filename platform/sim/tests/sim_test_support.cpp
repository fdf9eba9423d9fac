#include "sim_test_support.h"

#include "hidhost/sim_device.h"
#include "text/hex_text.h"

namespace hidhost::sim::testing {

TestHost MakePresetHost(const std::string& preset) {
  TestHost t;
  t.host = SimulatedHost::Create(preset, t.clock);
  return t;
}

TestHost MakeJsonHost(const std::string& json, std::string* error) {
  TestHost t;
  t.host = SimulatedHost::CreateFromJson(json, "test.json", t.clock, error);
  return t;
}

std::vector<std::string> Paths(Host& host) {
  std::vector<std::string> paths;
  host.EnumerateInterfaces(&paths);
  return paths;
}

std::unique_ptr<Device> OpenConfigInterface(Host& host, uint16_t product) {
  for (const std::string& path : Paths(host)) {
    auto device = host.Open(path, Access::Query);
    Attributes a;
    hid::HIDP_CAPS caps{};
    if (!device || !device->GetAttributes(&a) || a.ProductID != product) continue;
    if (hid::HidP_GetCaps(device->GetPreparsedData().get(), &caps) != hid::HIDP_STATUS_SUCCESS) continue;
    if (caps.FeatureReportByteLength > 0) return device;
  }
  return nullptr;
}

std::vector<uint8_t> Frame(const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> frame{0x02};
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.push_back(0x03);
  uint8_t lrc = 0;
  for (uint8_t b : frame) lrc ^= b;
  frame.push_back(lrc);
  return frame;
}

std::vector<uint8_t> TypedFrame(const std::string& text) {
  std::vector<uint8_t> payload(text.begin(), text.end());
  payload.push_back(0x0D);
  return Frame(payload);
}

std::vector<uint8_t> Exchange(Device& device, const std::vector<uint8_t>& frame, int reads) {
  hid::HIDP_CAPS caps{};
  hid::HidP_GetCaps(device.GetPreparsedData().get(), &caps);
  const size_t length = caps.FeatureReportByteLength;
  const size_t per = length - 1;
  std::vector<uint8_t> report(length);
  for (size_t at = 0; at < frame.size(); at += per) {
    std::fill(report.begin(), report.end(), 0);
    for (size_t i = 0; i < per && at + i < frame.size(); ++i) report[1 + i] = frame[at + i];
    if (!device.SetFeature(report.data(), length)) return {};
  }
  std::vector<uint8_t> answer;
  bool started = false;
  for (int r = 0; r < reads; ++r) {
    std::fill(report.begin(), report.end(), 0);
    if (!device.GetFeature(report.data(), length)) continue;
    for (size_t i = 1; i < length; ++i) started = started || report[i] != 0;
    if (started) answer.insert(answer.end(), report.begin() + 1, report.end());
  }
  while (!answer.empty() && answer.back() == 0) answer.pop_back();
  return answer;
}

std::string Hex(const std::vector<uint8_t>& bytes) { return FormatHexBytes(bytes.data(), bytes.size()); }

}  // namespace hidhost::sim::testing
