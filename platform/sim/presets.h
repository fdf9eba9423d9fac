// The built-in simulated devices.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hidhost/sim_device.h"
#include "reader_models.h"

namespace hidhost::sim {

// Fields a device file may set on every interface of a preset.
struct PresetOverrides {
  std::optional<uint16_t> vendorId, productId, version;
  std::optional<std::wstring> manufacturer, product, serial;
  std::optional<bool> openable;
  std::optional<uint32_t> failSetFeature, failGetFeature;
  std::optional<uint64_t> unplugAfterMs;
  std::optional<std::string> transcriptPath;
  ReaderOptions reader;  // used by the "reader" preset only
};

// "reader", "legacy-reader" and "ups": the presets a device file may name.
bool IsDevicePreset(const std::string& name);

// The interfaces of one device preset, in enumeration order. Empty with
// *error set when the overrides make an invalid device.
std::vector<std::shared_ptr<DeviceModel>> MakePresetModels(const std::string& preset,
                                                           const PresetOverrides& overrides,
                                                           std::string* error);

// Host-level preset names: the device presets plus "both-readers" and "none".
bool IsHostPreset(const std::string& name);
std::vector<std::shared_ptr<DeviceModel>> MakeHostPreset(const std::string& name);

}  // namespace hidhost::sim
