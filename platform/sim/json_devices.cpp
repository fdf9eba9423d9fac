// Device files: {"devices": [DEVICE, ...]}, read with nlohmann-json. Every
// problem becomes one line "<file>: <field>: <what is wrong>".
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>

#include "hex_text.h"
#include "hidhost/sim_device.h"
#include "presets.h"
#include "reader_state.h"
#include "text/number_text.h"
#include "text/wide_text.h"

namespace hidhost::sim {

namespace {

using nlohmann::json;

constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;
constexpr size_t kMaxDevices = 256;
constexpr uint64_t kMaxDelayMs = 24ull * 3600 * 1000;  // one day
constexpr size_t kMaxInputReports = 4096;

// Thrown inside the loader only; carries "<field>: <what>".
struct FieldError {
  std::string text;
};

[[noreturn]] void Fail(const std::string& field, const std::string& what) {
  throw FieldError{field + ": " + what};
}

uint64_t ParseUnsignedText(const std::string& field, const std::string& text, uint64_t max) {
  const std::optional<uint64_t> value = ReadDecimalOrHex(text, max, 16);
  if (!value) {
    Fail(field, "\"" + text + "\" is not a number from 0 to " + std::to_string(max) +
                    " (decimal, or hex such as \"0x1C5E\")");
  }
  return *value;
}

uint64_t Unsigned(const std::string& field, const json& v, uint64_t max, bool allowText) {
  if (allowText && v.is_string()) return ParseUnsignedText(field, v.get<std::string>(), max);
  if (!v.is_number_integer() || (v.is_number_integer() && !v.is_number_unsigned() && v.get<int64_t>() < 0)) {
    Fail(field, std::string("expected a whole number from 0 to ") + std::to_string(max) +
                    (allowText ? " or a text such as \"0x1C5E\"" : ""));
  }
  uint64_t value = v.get<uint64_t>();
  if (value > max) Fail(field, std::to_string(value) + " is above " + std::to_string(max));
  return value;
}

std::string Text(const std::string& field, const json& v) {
  if (!v.is_string()) Fail(field, "expected a text in double quotes");
  return v.get<std::string>();
}

std::wstring WideText(const std::string& field, const json& v) {
  bool valid = false;
  std::wstring wide = WideFromUtf8(Text(field, v), &valid);
  if (!valid) Fail(field, "not valid UTF-8");
  return wide;
}

bool Flag(const std::string& field, const json& v) {
  if (!v.is_boolean()) Fail(field, "expected true or false");
  return v.get<bool>();
}

std::vector<uint8_t> HexBytes(const std::string& field, const json& v) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ParseHexBytes(Text(field, v), &bytes, &error)) Fail(field, error);
  return bytes;
}

// A file path of the device file, taken from the device file's folder when
// relative.
std::string FilePath(const std::string& field, const json& v, const std::string& baseDir) {
  std::string path = Text(field, v);
  if (path.empty()) Fail(field, "empty path");
  std::filesystem::path p(path);
  if (p.is_relative() && !baseDir.empty()) p = std::filesystem::path(baseDir) / p;
  return p.string();
}

std::string TranscriptPath(const std::string& field, const json& v, const std::string& baseDir) {
  const std::filesystem::path p(FilePath(field, v, baseDir));
  std::ofstream probe(p, std::ios::out | std::ios::app);
  if (!probe) Fail(field, "cannot open \"" + p.string() + "\" for writing");
  return p.string();
}

// Fields every device takes, preset or not. False when `key` is not one.
bool CommonField(const std::string& field, const std::string& key, const json& v,
                 const std::string& baseDir, PresetOverrides* o) {
  if (key == "vendor_id") o->vendorId = static_cast<uint16_t>(Unsigned(field, v, 0xFFFF, true));
  else if (key == "product_id") o->productId = static_cast<uint16_t>(Unsigned(field, v, 0xFFFF, true));
  else if (key == "version") o->version = static_cast<uint16_t>(Unsigned(field, v, 0xFFFF, true));
  else if (key == "manufacturer") o->manufacturer = WideText(field, v);
  else if (key == "product") o->product = WideText(field, v);
  else if (key == "serial") o->serial = WideText(field, v);
  else if (key == "openable") o->openable = Flag(field, v);
  else if (key == "fail_set_feature") o->failSetFeature = static_cast<uint32_t>(Unsigned(field, v, 1000000, false));
  else if (key == "fail_get_feature") o->failGetFeature = static_cast<uint32_t>(Unsigned(field, v, 1000000, false));
  else if (key == "unplug_after_ms") o->unplugAfterMs = Unsigned(field, v, kMaxDelayMs, false);
  else if (key == "transcript") o->transcriptPath = TranscriptPath(field, v, baseDir);
  else return false;
  return true;
}

// Settings of the "reader" preset. False when `key` is not one.
bool ReaderField(const std::string& field, const std::string& key, const json& v,
                 ReaderOptions* r) {
  if (key == "feature_report_length") {
    r->featureReportLength = static_cast<size_t>(Unsigned(field, v, 1024, false));
    if (r->featureReportLength < 2) Fail(field, "must be at least 2 (the report-ID byte and one data byte)");
  } else if (key == "language") {
    std::string text = Text(field, v);
    if (text.size() != 1 || text[0] < '0' || text[0] > ':') Fail(field, "expected one character from \"0\" to \":\"");
    r->language = static_cast<uint8_t>(text[0]);
  } else if (key == "polling_interval") {
    r->pollingInterval = static_cast<uint8_t>(Unsigned(field, v, 255, false));
    if (r->pollingInterval == 0) Fail(field, "must be from 1 to 255");
  } else if (key == "turbo_speed") {
    r->turboSpeed = Unsigned(field, v, 1, false) == 1 ? '1' : '0';
  } else if (key == "version_text") {
    std::string text = Text(field, v);
    if (text.empty() || text.size() > 64) Fail(field, "expected 1 to 64 characters");
    for (unsigned char c : text) {
      if (c < 0x20 || c > 0x7E) Fail(field, "expected printable ASCII characters only");
    }
    r->versionText = text;
  } else if (key == "answer_delay_reads") {
    r->answerDelayReads = static_cast<uint32_t>(Unsigned(field, v, 50, false));
  } else {
    return false;
  }
  return true;
}

constexpr size_t kMaxStateFileBytes = 64 * 1024;

// The reader's saved state over the device file's settings. A state file
// that does not exist yet is made from those settings, so that a file that
// cannot be written is found now rather than at the first setting write.
void LoadReaderState(const std::string& field, ReaderOptions* r) {
  const std::filesystem::path path(r->stateFile);
  const std::string quoted = "\"" + r->stateFile + "\"";
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::string error;
    if (!SaveReaderState(r->stateFile, *r, &error)) Fail(field, error);
    return;
  }
  if (!std::filesystem::is_regular_file(path, ec)) Fail(field, quoted + " is not a file");
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxStateFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad() || (!in && !in.eof())) Fail(field, quoted + " cannot be read");
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > kMaxStateFileBytes) Fail(field, quoted + " is larger than 64 KiB");
  try {
    json state;
    try {
      state = json::parse(text);
    } catch (const json::exception& e) {
      std::string what = e.what();
      size_t at = what.find("parse error");
      Fail("(file)", "not valid JSON: " + (at == std::string::npos ? what : what.substr(at)));
    }
    if (!state.is_object()) Fail("(file)", "expected an object such as {\"language\": \"0\", \"writes\": 3}");
    for (const auto& [key, v] : state.items()) {
      if (key == "writes") {
        r->writes = static_cast<uint32_t>(Unsigned(key, v, 0xFFFFFFFF, false));
      } else if (key == "language" || key == "polling_interval" || key == "turbo_speed") {
        ReaderField(key, key, v, r);
      } else {
        Fail(key, "unknown field (a state file holds language, polling_interval, turbo_speed and writes)");
      }
    }
  } catch (const FieldError& e) {
    Fail(field, quoted + ": " + e.text);
  }
}

void GenericField(const std::string& field, const std::string& key, const json& v,
                  DeviceDefinition* definition) {
  if (key == "report_descriptor") {
    definition->reportDescriptor = HexBytes(field, v);
  } else if (key == "indexed_strings") {
    if (!v.is_object()) Fail(field, "expected an object such as {\"3\": \"text\"}");
    for (const auto& [index, text] : v.items()) {
      const std::string sub = field + "." + index;
      definition->indexedStrings[static_cast<uint32_t>(ParseUnsignedText(sub, index, 255))] = WideText(sub, text);
    }
  } else if (key == "feature_reports") {
    if (!v.is_object()) Fail(field, "expected an object such as {\"1\": \"01 64 00\"}");
    for (const auto& [id, hex] : v.items()) {
      const std::string sub = field + "." + id;
      definition->featureReports[static_cast<uint8_t>(ParseUnsignedText(sub, id, 255))] = HexBytes(sub, hex);
    }
  } else if (key == "input_reports") {
    if (!v.is_array()) Fail(field, "expected a list such as [{\"delay_ms\": 100, \"data\": \"01 02\"}]");
    if (v.size() > kMaxInputReports) Fail(field, "more than 4096 reports");
    for (size_t i = 0; i < v.size(); ++i) {
      const std::string sub = field + "[" + std::to_string(i) + "]";
      const json& entry = v[i];
      if (!entry.is_object()) Fail(sub, "expected {\"delay_ms\": N, \"data\": \"hex\"}");
      InputReportDefinition input;
      bool hasData = false;
      for (const auto& [k, value] : entry.items()) {
        if (k == "delay_ms") input.delayMs = static_cast<uint32_t>(Unsigned(sub + ".delay_ms", value, kMaxDelayMs, false));
        else if (k == "data") { input.data = HexBytes(sub + ".data", value); hasData = true; }
        else Fail(sub + "." + k, "unknown field (an input report takes delay_ms and data)");
      }
      if (!hasData) Fail(sub + ".data", "missing");
      definition->inputReports.push_back(std::move(input));
    }
  } else if (key == "repeat") {
    definition->repeatInputs = Flag(field, v);
  } else {
    Fail(field, "unknown field");
  }
}

bool IsGenericOnly(const std::string& key) {
  return key == "report_descriptor" || key == "indexed_strings" || key == "feature_reports" ||
         key == "input_reports" || key == "repeat";
}

void LoadDevice(const std::string& field, const json& device, const std::string& baseDir,
                std::vector<std::shared_ptr<DeviceModel>>* models) {
  if (!device.is_object()) Fail(field, "expected an object");
  PresetOverrides o;
  std::string preset;
  if (device.contains("preset")) {
    preset = Text(field + ".preset", device["preset"]);
    if (!IsDevicePreset(preset)) {
      Fail(field + ".preset", "unknown preset \"" + preset + "\" (expected \"reader\", \"legacy-reader\" or \"ups\")");
    }
  }
  DeviceDefinition definition;
  for (const auto& [key, v] : device.items()) {
    const std::string sub = field + "." + key;
    if (key == "preset" || CommonField(sub, key, v, baseDir, &o)) continue;
    if (preset == "reader" && key == "state_file") {
      o.reader.stateFile = FilePath(sub, v, baseDir);
      continue;
    }
    if (preset == "reader" && ReaderField(sub, key, v, &o.reader)) continue;
    if (!preset.empty()) {
      Fail(sub, IsGenericOnly(key) ? "not taken by a preset device" : "unknown field");
    }
    GenericField(sub, key, v, &definition);
  }
  if (!o.reader.stateFile.empty()) LoadReaderState(field + ".state_file", &o.reader);
  if (!preset.empty()) {
    std::string error;
    auto presetModels = MakePresetModels(preset, o, &error);
    if (presetModels.empty()) throw FieldError{field + "." + error};
    models->insert(models->end(), presetModels.begin(), presetModels.end());
    return;
  }
  if (!device.contains("report_descriptor")) Fail(field + ".report_descriptor", "missing");
  definition.attributes = {o.vendorId.value_or(0), o.productId.value_or(0), o.version.value_or(0)};
  definition.manufacturer = o.manufacturer;
  definition.product = o.product;
  definition.serial = o.serial;
  definition.openable = o.openable.value_or(true);
  definition.failSetFeature = o.failSetFeature.value_or(0);
  definition.failGetFeature = o.failGetFeature.value_or(0);
  definition.unplugAfterMs = o.unplugAfterMs;
  definition.transcriptPath = o.transcriptPath.value_or("");
  std::string problem = ValidateDeviceDefinition(&definition);
  if (!problem.empty()) throw FieldError{field + "." + problem};
  models->push_back(std::make_shared<DeviceModel>(std::move(definition)));
}

std::vector<std::shared_ptr<DeviceModel>> LoadJson(const std::string& text,
                                                   const std::string& source,
                                                   const std::string& baseDir,
                                                   std::string* error) {
  std::vector<std::shared_ptr<DeviceModel>> models;
  try {
    json root;
    try {
      root = json::parse(text);
    } catch (const json::exception& e) {
      std::string what = e.what();
      size_t at = what.find("parse error");
      Fail("(file)", "not valid JSON: " + (at == std::string::npos ? what : what.substr(at)));
    }
    if (!root.is_object()) Fail("(file)", "expected an object {\"devices\": [...]}");
    for (const auto& [key, v] : root.items()) {
      if (key != "devices") Fail(key, "unknown field (the file holds only \"devices\")");
    }
    if (!root.contains("devices")) Fail("devices", "missing (expected {\"devices\": [...]})");
    const json& devices = root["devices"];
    if (!devices.is_array()) Fail("devices", "expected a list of devices");
    if (devices.size() > kMaxDevices) Fail("devices", "more than 256 devices");
    for (size_t i = 0; i < devices.size(); ++i) {
      LoadDevice("devices[" + std::to_string(i) + "]", devices[i], baseDir, &models);
    }
  } catch (const FieldError& e) {
    *error = source + ": " + e.text;
    models.clear();
  } catch (const std::exception& e) {
    *error = source + ": " + e.what();
    models.clear();
  }
  return models;
}

}  // namespace

std::vector<std::shared_ptr<DeviceModel>> LoadDeviceModelsFromJson(const std::string& jsonText,
                                                                   const std::string& sourceName,
                                                                   std::string* error) {
  std::string ignored;
  return LoadJson(jsonText, sourceName, "", error != nullptr ? error : &ignored);
}

std::vector<std::shared_ptr<DeviceModel>> LoadDeviceModels(const std::string& presetOrPath,
                                                           std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  error->clear();
  if (IsHostPreset(presetOrPath)) return MakeHostPreset(presetOrPath);
  std::error_code ec;
  const std::filesystem::path path(presetOrPath);
  if (!std::filesystem::is_regular_file(path, ec)) {
    *error = presetOrPath + ": not a preset (reader, legacy-reader, both-readers, ups, none) "
                            "and not a readable file";
    return {};
  }
  // Read at most one byte past the limit: the size a file claims is not
  // trusted (files under /proc claim 0).
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad() || (!in && !in.eof())) {
    *error = presetOrPath + ": (file): cannot be read";
    return {};
  }
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > kMaxFileBytes) {
    *error = presetOrPath + ": (file): larger than 4 MiB";
    return {};
  }
  return LoadJson(text, presetOrPath, path.parent_path().string(), error);
}

}  // namespace hidhost::sim
