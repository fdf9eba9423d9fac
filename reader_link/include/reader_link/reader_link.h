// The reader link's entry points: one scan that lists the reader interfaces
// present, and the open of one of them by its path.
//
//   for (const ReaderInterface& reader : ScanReaders())
//     if (auto device = Open(reader.path)) device->Exchange(frame);
//
// The scan enumerates the host's interfaces once and probes the first 100 of
// them; Open checks the vendor and reads the report model. Open failures are
// the caller's to tell: the operations that open several interfaces take an
// OpenFailureSink.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hidhost/host.h"
#include "reader_link/reader_device.h"

namespace readerlink {

enum class Generation : int32_t {
  None = kGenerationNone,
  Legacy = kGenerationLegacy,    // product 0x0200, configured with the setup tool
  Current = kGenerationCurrent,  // product 0x2420, takes command frames
};

// One HID interface of a supported reader.
struct ReaderInterface {
  int32_t position = -1;  // among the host's interfaces, from 0
  std::string path;
  uint16_t productId = 0;
  Generation generation = Generation::None;
};

// Positions probed by a scan.
constexpr int32_t kScanPositions = 100;

// The reader interfaces among the first 100 of the host's interfaces, in
// their order; empty when the host cannot list its interfaces. Each probe
// opens the interface for queries and closes it again.
std::vector<ReaderInterface> ScanReaders();

// Whether `path` (at `position`) is an interface of a supported reader;
// sets ReaderGeneration when it is.
std::optional<ReaderInterface> ProbeReader(const std::string& path, int32_t position);

// A device open on `path`, or null when the interface cannot be opened, is
// not the reader vendor's or has no report model.
std::unique_ptr<ReaderDevice> Open(const std::string& path,
                                   hidhost::Access access = hidhost::Access::Query);

// Told about each interface that an operation could not open.
using OpenFailureSink = std::function<void(const ReaderInterface&)>;

}  // namespace readerlink
