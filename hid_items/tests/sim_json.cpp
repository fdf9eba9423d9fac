#include "sim_json.h"

#include <cstdio>

#include "text/hex_text.h"

namespace tandril_test {

namespace {

std::string JsonString(const std::wstring& text) {
  std::string out = "\"";
  char b[8];
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      std::snprintf(b, sizeof b, "\\u%04X", static_cast<unsigned>(c) & 0xFFFF);
      out += b;
    }
  }
  return out + "\"";
}

}  // namespace

std::string DeviceJson(const std::vector<SimDevice>& devices) {
  std::string json = "{\"devices\": [";
  for (size_t i = 0; i < devices.size(); ++i) {
    const SimDevice& d = devices[i];
    char ids[128];
    std::snprintf(ids, sizeof ids, "\"vendor_id\": %u, \"product_id\": %u, \"version\": %u",
                  d.vendorId, d.productId, d.version);
    json += i ? ", {" : "{";
    json += ids;
    json += ", \"report_descriptor\": \"" + hidhost::FormatHexBytes(d.descriptor) + "\"";
    if (!d.features.empty()) {
      json += ", \"feature_reports\": {";
      bool first = true;
      for (const auto& [id, bytes] : d.features) {
        json += (first ? "\"" : ", \"") + std::to_string(id) + "\": \"" + hidhost::FormatHexBytes(bytes) + "\"";
        first = false;
      }
      json += "}";
    }
    if (!d.strings.empty()) {
      json += ", \"indexed_strings\": {";
      bool first = true;
      for (const auto& [index, text] : d.strings) {
        json += (first ? "\"" : ", \"") + std::to_string(index) + "\": " + JsonString(text);
        first = false;
      }
      json += "}";
    }
    if (d.failGetFeature) json += ", \"fail_get_feature\": " + std::to_string(d.failGetFeature);
    if (!d.openable) json += ", \"openable\": false";
    if (d.manufacturer) json += ", \"manufacturer\": " + JsonString(*d.manufacturer);
    if (d.product) json += ", \"product\": " + JsonString(*d.product);
    if (d.serial) json += ", \"serial\": " + JsonString(*d.serial);
    if (!d.inputs.empty()) {
      json += ", \"input_reports\": [";
      for (size_t k = 0; k < d.inputs.size(); ++k) {
        json += (k ? ", {\"delay_ms\": " : "{\"delay_ms\": ") +
                std::to_string(d.inputs[k].delayMs) + ", \"data\": \"" + hidhost::FormatHexBytes(d.inputs[k].data) +
                "\"}";
      }
      json += "]";
    }
    if (d.repeatInputs) json += ", \"repeat\": true";
    if (d.unplugAfterMs) json += ", \"unplug_after_ms\": " + std::to_string(*d.unplugAfterMs);
    json += "}";
  }
  return json + "]}";
}

}  // namespace tandril_test
