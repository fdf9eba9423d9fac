// Simulated devices described in code, written as a JSON device file for
// the simulated host. Shared by the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandril_test {

// One scripted input report: `delayMs` after the one before (the first:
// after the first read), report ID byte first.
struct SimInput {
  uint32_t delayMs = 0;
  std::vector<uint8_t> data;
};

struct SimDevice {
  uint16_t vendorId = 0x1234;
  uint16_t productId = 0x0001;
  uint16_t version = 0x0100;
  std::vector<uint8_t> descriptor;
  std::map<uint8_t, std::vector<uint8_t>> features;  // report ID byte included
  std::map<uint32_t, std::wstring> strings;          // indexed strings
  uint32_t failGetFeature = 0;
  bool openable = true;
  std::optional<std::wstring> manufacturer, product, serial;  // absent: the request fails
  std::vector<SimInput> inputs;
  bool repeatInputs = false;
  std::optional<uint64_t> unplugAfterMs;
};

// The JSON device file text for `devices`.
std::string DeviceJson(const std::vector<SimDevice>& devices);

}  // namespace tandril_test
