#include "sim_reader.h"

#include <cstdio>

#include "hidhost/host.h"
#include "tandril.h"

namespace skelmar_test {

void SimReaderTest::TearDown() {
  for (uint32_t handle = 1; handle <= 20; ++handle) CloseHIDDevice(handle);
}

void SimReaderTest::InstallPreset(const std::string& preset) {
  clock_ = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  host_ = hidhost::sim::SimulatedHost::Create(preset, clock_, &error);
  ASSERT_TRUE(host_ && error.empty()) << error;
  hidhost::InstallHost(host_);
  hidhost::InstallServices(host_);
  seen_ = 0;
}

void SimReaderTest::InstallDevices(const std::vector<std::string>& devices) {
  std::string json = "{\"devices\": [";
  for (size_t i = 0; i < devices.size(); ++i) json += (i ? ", " : "") + devices[i];
  json += "]}";
  clock_ = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  host_ = hidhost::sim::SimulatedHost::CreateFromJson(json, "skelmar test devices", clock_, &error);
  ASSERT_TRUE(host_ && error.empty()) << error;
  hidhost::InstallHost(host_);
  hidhost::InstallServices(host_);
  seen_ = 0;
}

std::vector<SetupWrite> SimReaderTest::TakeWrites() {
  const std::vector<std::string> transcript = host_->Transcript();
  std::vector<SetupWrite> writes;
  for (; seen_ < transcript.size(); ++seen_) {
    const std::string& line = transcript[seen_];
    const size_t at = line.find(" SET_FEATURE ");
    if (at == std::string::npos) continue;
    unsigned reportId = 0, value = 0;
    if (std::sscanf(line.c_str() + at + 13, "%x %x", &reportId, &value) != 2) {
      ADD_FAILURE() << "unexpected transcript line: " << line;
      continue;
    }
    writes.push_back({line.substr(0, at), static_cast<uint8_t>(value)});
  }
  return writes;
}

std::string SimReaderTest::TakeWrittenText() {
  std::string text;
  for (const SetupWrite& w : TakeWrites()) text += static_cast<char>(w.value);
  return text;
}

std::vector<std::string> SimReaderTest::InterfacePaths() {
  std::vector<std::string> paths;
  host_->EnumerateInterfaces(&paths);
  return paths;
}

std::string VendorDevice(uint16_t vendor, const std::vector<int>& featureUsages) {
  char head[160];
  std::snprintf(head, sizeof head,
                "{\"vendor_id\": %u, \"product_id\": 512, \"report_descriptor\": "
                "\"06 2D FF 09 01 A1 01 15 00 26 FF 00 75 08 95 01",
                vendor);
  std::string json = head;
  for (const int usage : featureUsages) {
    char item[16];
    std::snprintf(item, sizeof item, " 09 %02X B1 02", usage);
    json += item;
  }
  return json + " C0\"}";
}

}  // namespace skelmar_test
