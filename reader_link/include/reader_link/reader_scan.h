// The walks over the reader interfaces that the operations talking to the
// reader share. Each interface is opened afresh (Open) and handed to the
// caller's action, which may leave it open or close it; the device is closed
// once the action returns.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "reader_link/reader_device.h"
#include "reader_link/reader_link.h"

namespace readerlink {

constexpr uint32_t kExchangeLeadMs = 50;  // wait before each exchange of a send

// Called with the open device and the interface it was opened on.
using ReaderAction = std::function<void(ReaderDevice& device, const ReaderInterface& reader)>;

// The walk of a send over `readers` (by default a fresh ScanReaders). It
// passes over interfaces of the older generation, which speak another
// protocol. For each current one: when it opens, wait 50 ms and run
// `exchange`; when it does not, tell `openFailed` (when given). Returns the
// number of times `exchange` ran.
int ScanAndExchange(const ReaderAction& exchange, const OpenFailureSink& openFailed,
                    const std::vector<ReaderInterface>& readers = ScanReaders());

// The walk of reader detection: as ScanAndExchange, but for readers of both
// generations, without the wait, and silent about interfaces that do not
// open. Returns the number of times `found` ran.
int ScanForReaders(const ReaderAction& found);

}  // namespace readerlink
