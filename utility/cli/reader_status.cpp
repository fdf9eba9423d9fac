#include "reader_status.h"

#include <vector>

#include "hidhost/errors.h"
#include "hidhost/hidp.h"
#include "hidhost/host.h"
#include "hidhost/wide_text.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"

namespace pelorincli {

bool ReaderStatus::HasCurrentReader() const {
  for (const ReaderInterface& found : interfaces) {
    if (found.productId == readerlink::kCurrentReaderProductId) return true;
  }
  return false;
}

bool ReaderStatus::HasCommandInterface() const {
  for (const ReaderInterface& found : interfaces) {
    if (found.productId == readerlink::kCurrentReaderProductId && found.takesCommands) return true;
  }
  return false;
}

namespace {

// Whether the open interface's feature report has room for frame bytes.
bool TakesCommands(hidhost::Device& device) {
  const hid::PreparsedPtr preparsed = device.GetPreparsedData();
  hid::HIDP_CAPS caps{};
  return preparsed && hid::HidP_GetCaps(preparsed.get(), &caps) == hid::HIDP_STATUS_SUCCESS &&
         caps.FeatureReportByteLength >= 2;
}

}  // namespace

std::string SerialNumber(hidhost::Device& device) {
  wchar_t text[128] = {};
  if (!device.GetSerialNumberString(text, sizeof text - sizeof text[0])) return {};
  return hidhost::Utf8FromWide(text);
}

std::string GenerationName(uint16_t productId) {
  return productId == readerlink::kLegacyReaderProductId ? "older (Revision <= H)" : "current";
}

ReaderStatus ScanReaderStatus() {
  ReaderStatus status;
  readerlink::ReaderDevice device(readerlink::kDeviceTypeQuery);
  readerlink::ScanForReaders(device, [&](readerlink::ReaderDevice& reader, int32_t position) {
    ReaderInterface found;
    found.position = position;
    found.path = reader.GetDevicePath();
    found.productId = reader.RecordedProductId();
    if (hidhost::Device* device = reader.GetHandle()) {
      found.takesCommands = found.productId == readerlink::kCurrentReaderProductId &&
                            TakesCommands(*device);
      found.serial = SerialNumber(*device);
    }
    status.interfaces.push_back(found);
    reader.Close();
  });
  if (!status.interfaces.empty()) return status;

  std::vector<std::string> paths;
  if (!hidhost::CurrentHost().EnumerateInterfaces(&paths)) return status;
  for (const std::string& path : paths) {
    if (hidhost::CurrentHost().Open(path, hidhost::Access::Query) == nullptr &&
        hidhost::GetLastError() == hidhost::kErrorAccessDenied) {
      ++status.deniedInterfaces;
    }
  }
  return status;
}

std::string ReaderDeniedPath() {
  for (const ReaderInterface& found : ScanReaderStatus().interfaces) {
    const std::unique_ptr<hidhost::Device> device =
        hidhost::CurrentHost().Open(found.path, hidhost::Access::Query);
    if (device == nullptr) continue;
    const hid::PreparsedPtr preparsed = device->GetPreparsedData();
    hid::HIDP_CAPS caps{};
    if (!preparsed || hid::HidP_GetCaps(preparsed.get(), &caps) != hid::HIDP_STATUS_SUCCESS ||
        caps.FeatureReportByteLength == 0) {
      continue;  // the keyboard interface takes no frames
    }
    std::vector<uint8_t> report(caps.FeatureReportByteLength, 0);
    if (!device->GetFeature(report.data(), report.size()) &&
        hidhost::GetLastError() == hidhost::kErrorAccessDenied) {
      return found.path;
    }
  }
  return {};
}

}  // namespace pelorincli
