// The shared walks over the reader interfaces.
#include "reader_link/reader_scan.h"

#include <memory>

namespace readerlink {

int ScanAndExchange(const ReaderAction& exchange, const OpenFailureSink& openFailed,
                    const std::vector<ReaderInterface>& readers) {
  int visited = 0;
  for (const ReaderInterface& reader : readers) {
    // Frames are the current readers' protocol: an older reader would take
    // them for setup characters.
    if (reader.generation != Generation::Current) continue;
    const std::unique_ptr<ReaderDevice> device = Open(reader.path);
    if (!device) {
      if (openFailed) openFailed(reader);
      continue;
    }
    hidhost::SleepMs(kExchangeLeadMs);
    ++visited;
    if (exchange) exchange(*device, reader);
  }
  return visited;
}

int ScanForReaders(const ReaderAction& found) {
  int visited = 0;
  for (const ReaderInterface& reader : ScanReaders()) {
    const std::unique_ptr<ReaderDevice> device = Open(reader.path);
    if (!device) continue;
    ++visited;
    if (found) found(*device, reader);
  }
  return visited;
}

}  // namespace readerlink
