#include "reader_status.h"

#include <vector>

#include "hidhost/errors.h"
#include "hidhost/hidp.h"
#include "hidhost/host.h"
#include "text/wide_text.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_link.h"

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

ReaderStatus ScanReaderStatus(const InterfaceChoice& choice) {
  ReaderStatus status;
  for (const readerlink::ReaderInterface& reader : readerlink::ScanReaders()) {
    if (!Chosen(choice, reader)) continue;
    const std::unique_ptr<readerlink::ReaderDevice> device = readerlink::Open(reader.path);
    if (!device) continue;
    ReaderInterface found;
    // With a choice, positions count the chosen interfaces only.
    found.position = choice.Any() ? reader.position : static_cast<int32_t>(status.interfaces.size());
    found.path = reader.path;
    found.productId = reader.productId;
    found.takesCommands = reader.generation == readerlink::Generation::Current &&
                          TakesCommands(*device->GetHandle());
    found.serial = SerialNumber(*device->GetHandle());
    status.interfaces.push_back(found);
  }
  if (!status.interfaces.empty()) return status;

  std::vector<std::string> paths;
  if (!hidhost::CurrentHost().EnumerateInterfaces(&paths)) return status;
  for (const std::string& path : paths) {
    if (!choice.Any() && !Chosen(choice, {0, path, 0, {}})) continue;
    if (hidhost::CurrentHost().Open(path, hidhost::Access::Query) == nullptr &&
        hidhost::GetLastError() == hidhost::kErrorAccessDenied) {
      ++status.deniedInterfaces;
    }
  }
  return status;
}

std::string ReaderDeniedPath(const InterfaceChoice& choice) {
  for (const ReaderInterface& found : ScanReaderStatus(choice).interfaces) {
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
