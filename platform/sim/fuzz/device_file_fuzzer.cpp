// Any text as a device file: the loader must give devices or one error line,
// never crash, hang or grow without bound. Loaded devices are then asked for
// every feature report and string they declare.
#include <cstdint>
#include <string>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hidhost::sim;
  std::string error;
  auto models = LoadDeviceModelsFromJson(std::string(reinterpret_cast<const char*>(data), size),
                                         "fuzz.json", &error);
  if (!models.empty() && !error.empty()) __builtin_trap();  // devices or an error, not both
  auto clock = std::make_shared<VirtualClock>();
  for (auto& model : models) {
    model->Attach(clock, {});
    for (int id = 0; id < 256; ++id) {
      std::vector<uint8_t> report;
      if (model->FeatureLength(static_cast<uint8_t>(id)) == 0) continue;
      if (model->GetFeature(static_cast<uint8_t>(id), &report) == hidhost::kErrorSuccess &&
          report.size() != model->FeatureLength(static_cast<uint8_t>(id))) {
        __builtin_trap();
      }
    }
    std::wstring text;
    for (uint32_t index = 0; index < 4; ++index) {
      model->GetString(DeviceModel::StringKind::Indexed, index, &text);
    }
  }
  return 0;
}
