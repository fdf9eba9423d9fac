// Any bytes as feature reports written to the simulated reader, with reads
// in between: the frame collector must never crash, and every answer must be
// a well-formed frame.
#include <cstdint>
#include <vector>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hidhost::sim;
  if (size < 1) return 0;
  static auto clock = std::make_shared<VirtualClock>();
  std::string error;
  // The first byte picks the report length, 2 to 65 bytes.
  const size_t length = 2 + data[0] % 64;
  auto models = LoadDeviceModelsFromJson(
      R"({"devices": [{"preset": "reader", "answer_delay_reads": 0, "feature_report_length": )" +
          std::to_string(length) + "}]}",
      "fuzz", &error);
  if (models.size() != 2) __builtin_trap();
  DeviceModel& config = *models[1];
  config.Attach(clock, [](const std::string&) {});
  std::vector<uint8_t> report(length);
  size_t at = 1;
  while (at < size) {
    const uint8_t control = data[at++];
    if (control & 0x80) {  // read the answer out
      std::vector<uint8_t> answer, in;
      for (int i = 0; i < 200 && config.GetFeature(0, &in) == hidhost::kErrorSuccess; ++i) {
        if (in.size() != length) __builtin_trap();
        answer.insert(answer.end(), in.begin() + 1, in.end());
      }
      while (!answer.empty() && answer.back() == 0) answer.pop_back();
      if (!answer.empty() && (answer.size() < 3 || answer[0] != 0x02)) __builtin_trap();
      continue;
    }
    std::fill(report.begin(), report.end(), 0);
    for (size_t i = 1; i < length && at < size; ++i) report[i] = data[at++];
    if (config.SetFeature(report.data(), report.size()) != hidhost::kErrorSuccess) __builtin_trap();
  }
  return 0;
}
