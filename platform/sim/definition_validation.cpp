// Checks a device definition against its own descriptor before a model is built.
#include <algorithm>

#include "hidhost/sim_device.h"

namespace hidhost::sim {

namespace {

constexpr size_t kMaxStringChars = 126;  // the longest USB string descriptor

std::string CheckString(const char* field, const std::optional<std::wstring>& text) {
  if (text && text->size() > kMaxStringChars) {
    return std::string(field) + ": longer than 126 characters";
  }
  return {};
}

}  // namespace

std::string ValidateDeviceDefinition(DeviceDefinition* definition) {
  if (definition->reportDescriptor.empty()) return "report_descriptor: missing or empty";
  hid::ParseResult parsed =
      hid::ParseReportDescriptor(definition->reportDescriptor.data(), definition->reportDescriptor.size());
  if (!parsed.ok()) return "report_descriptor: refused by the parser: " + parsed.error;
  if (parsed.collections.empty()) return "report_descriptor: holds no top-level collection";
  const std::vector<CollectionReports> collections = DescribeCollections(parsed);

  for (const char* field : {"manufacturer", "product", "serial"}) {
    const std::optional<std::wstring>& text = field[0] == 'm'   ? definition->manufacturer
                                              : field[0] == 'p' ? definition->product
                                                                : definition->serial;
    std::string error = CheckString(field, text);
    if (!error.empty()) return error;
  }
  for (const auto& [index, text] : definition->indexedStrings) {
    if (text.size() > kMaxStringChars) {
      return "indexed_strings." + std::to_string(index) + ": longer than 126 characters";
    }
  }

  for (auto& [id, data] : definition->featureReports) {
    const std::string field = "feature_reports." + std::to_string(id);
    if (data.empty()) return field + ": no data (the report-ID byte comes first)";
    if (data[0] != id) {
      return field + ": the data starts with report ID " + std::to_string(data[0]) +
             ", not " + std::to_string(id);
    }
    const size_t length = ReportLength(collections, hid::HidP_Feature, id);
    if (length == 0) {
      return field + ": the report descriptor has no feature report " + std::to_string(id);
    }
    if (data.size() > length) {
      return field + ": " + std::to_string(data.size()) + " bytes, longer than the " +
             std::to_string(length) + "-byte feature report";
    }
    data.resize(length, 0);
  }

  uint64_t totalDelay = 0;
  for (size_t i = 0; i < definition->inputReports.size(); ++i) {
    std::vector<uint8_t>& data = definition->inputReports[i].data;
    const std::string field = "input_reports[" + std::to_string(i) + "].data";
    if (data.empty()) return field + ": no data (the report-ID byte comes first)";
    const size_t length = ReportLength(collections, hid::HidP_Input, data[0]);
    if (length == 0) {
      return field + ": the report descriptor has no input report " + std::to_string(data[0]);
    }
    if (data.size() > length) {
      return field + ": " + std::to_string(data.size()) + " bytes, longer than the " +
             std::to_string(length) + "-byte input report";
    }
    data.resize(length, 0);
    totalDelay += definition->inputReports[i].delayMs;
  }
  if (definition->repeatInputs && !definition->inputReports.empty() && totalDelay == 0) {
    return "repeat: a repeating input list needs a delay_ms above 0 somewhere";
  }
  return {};
}

}  // namespace hidhost::sim
