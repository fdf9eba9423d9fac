#include "report_ids.h"

#include <algorithm>

namespace hidhost::sim {

namespace {

void AddIds(hid::HIDP_REPORT_TYPE type, uint16_t buttons, uint16_t values,
            hid::PHIDP_PREPARSED_DATA pp, std::vector<uint8_t>* ids) {
  if (buttons > 0) {
    std::vector<hid::HIDP_BUTTON_CAPS> caps(buttons);
    hid::USHORT n = buttons;
    if (hid::HidP_GetButtonCaps(type, caps.data(), &n, pp) == hid::HIDP_STATUS_SUCCESS) {
      for (hid::USHORT i = 0; i < n && i < buttons; ++i) ids->push_back(caps[i].ReportID);
    }
  }
  if (values > 0) {
    std::vector<hid::HIDP_VALUE_CAPS> caps(values);
    hid::USHORT n = values;
    if (hid::HidP_GetValueCaps(type, caps.data(), &n, pp) == hid::HIDP_STATUS_SUCCESS) {
      for (hid::USHORT i = 0; i < n && i < values; ++i) ids->push_back(caps[i].ReportID);
    }
  }
  std::sort(ids->begin(), ids->end());
  ids->erase(std::unique(ids->begin(), ids->end()), ids->end());
}

const std::vector<uint8_t>& IdsOf(const CollectionReports& c, hid::HIDP_REPORT_TYPE type) {
  switch (type) {
    case hid::HidP_Input: return c.inputIds;
    case hid::HidP_Output: return c.outputIds;
    default: return c.featureIds;
  }
}

size_t LengthOf(const CollectionReports& c, hid::HIDP_REPORT_TYPE type) {
  switch (type) {
    case hid::HidP_Input: return c.caps.InputReportByteLength;
    case hid::HidP_Output: return c.caps.OutputReportByteLength;
    default: return c.caps.FeatureReportByteLength;
  }
}

}  // namespace

std::vector<CollectionReports> DescribeCollections(const hid::ParseResult& parsed) {
  std::vector<CollectionReports> result;
  for (const hid::PreparsedPtr& pp : parsed.collections) {
    CollectionReports c;
    c.preparsed = pp;
    if (hid::HidP_GetCaps(pp.get(), &c.caps) != hid::HIDP_STATUS_SUCCESS) c.caps = {};
    AddIds(hid::HidP_Input, c.caps.NumberInputButtonCaps, c.caps.NumberInputValueCaps, pp.get(),
           &c.inputIds);
    AddIds(hid::HidP_Output, c.caps.NumberOutputButtonCaps, c.caps.NumberOutputValueCaps,
           pp.get(), &c.outputIds);
    AddIds(hid::HidP_Feature, c.caps.NumberFeatureButtonCaps, c.caps.NumberFeatureValueCaps,
           pp.get(), &c.featureIds);
    result.push_back(std::move(c));
  }
  return result;
}

size_t ReportLength(const std::vector<CollectionReports>& collections, hid::HIDP_REPORT_TYPE type,
                    uint8_t reportId) {
  size_t length = 0;
  for (const CollectionReports& c : collections) {
    const std::vector<uint8_t>& ids = IdsOf(c, type);
    if (std::binary_search(ids.begin(), ids.end(), reportId)) {
      length = std::max(length, LengthOf(c, type));
    }
  }
  return length;
}

}  // namespace hidhost::sim
