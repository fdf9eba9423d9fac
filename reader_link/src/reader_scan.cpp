// The shared walk over the host's HID interfaces.
#include "reader_link/reader_scan.h"

#include <cstdio>

namespace readerlink {

namespace {

enum class ScanStyle { Send, Detect };

int Scan(ReaderDevice& device, const ReaderAction& action, ScanStyle style) {
  int visited = 0;
  for (int32_t index = 0; index < kScanPositions; ++index) {
    int32_t kind = 0;
    std::string path;
    if (!device.ProbeInterface(&kind, index, &path) || kind != kKindReader) continue;
    // Frames are the current readers' protocol: an older reader would take
    // them for setup characters. Detection still sees it.
    if (style == ScanStyle::Send && device.RecordedProductId() != kCurrentReaderProductId) continue;
    // OpenByIndex reports success at once while the object is open, so an
    // interface left open by the action before (a failed exchange, such as on
    // the reader's keyboard interface) would take the place of this one.
    device.Close();
    if (device.OpenByIndex(index)) {
      if (style == ScanStyle::Send) hidhost::SleepMs(kExchangeLeadMs);
      ++visited;
      if (action) action(device, index);
    } else if (style == ScanStyle::Send) {
      std::fputs("Fail to open device! \n", stdout);
      std::fflush(stdout);
      device.Close();
    }
  }
  return visited;
}

}  // namespace

int ScanAndExchange(ReaderDevice& device, const ReaderAction& exchange) {
  return Scan(device, exchange, ScanStyle::Send);
}

int ScanForReaders(ReaderDevice& device, const ReaderAction& found) {
  return Scan(device, found, ScanStyle::Detect);
}

}  // namespace readerlink
