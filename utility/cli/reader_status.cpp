#include "reader_status.h"

#include "hidhost/errors.h"
#include "hidhost/host.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"

namespace pelorincli {

bool ReaderStatus::HasCurrentReader() const {
  for (const ReaderInterface& found : interfaces) {
    if (found.productId == readerlink::kCurrentReaderProductId) return true;
  }
  return false;
}

std::string GenerationName(uint16_t productId) {
  return productId == readerlink::kLegacyReaderProductId ? "older (Revision <= H)" : "current";
}

ReaderStatus ScanReaderStatus() {
  ReaderStatus status;
  readerlink::ReaderDevice device(readerlink::kDeviceTypeQuery);
  readerlink::ScanForReaders(device, [&](readerlink::ReaderDevice& reader, int32_t position) {
    status.interfaces.push_back({position, reader.GetDevicePath(), reader.RecordedProductId()});
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

}  // namespace pelorincli
