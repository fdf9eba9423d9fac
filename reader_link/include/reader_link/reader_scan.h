// The walk over the host's HID interfaces that every operation talking to the
// reader shares: positions 0 to 99, all of them, without stopping at the end
// of the list or at the first match. Each position is probed
// (ReaderDevice::ProbeInterface); a match of kind 3 is opened with
// OpenByIndex and handed to the caller's action.
//
// Every match is opened afresh (an interface the action before left open is
// closed first), so each matching interface receives its own action; the
// action may leave the device open or close it.
#pragma once

#include <cstdint>
#include <functional>

#include "reader_link/reader_device.h"

namespace readerlink {

constexpr int32_t kScanPositions = 100;
constexpr uint32_t kExchangeLeadMs = 50;  // wait before each exchange of a send

// Called with the open device and the position it was matched at.
using ReaderAction = std::function<void(ReaderDevice& device, int32_t memberIndex)>;

// The scan of a send. It passes over interfaces of the older generation
// (product 0x0200), which speak another protocol; ReaderGeneration is still
// set by their probe. For each match of the current generation: when
// OpenByIndex succeeds, wait 50 ms
// and run `exchange`; when it fails, write the line "Fail to open device! \n"
// to standard output and Close the device. The device is not closed after
// the scan; callers Close it (destroying it closes it too). Returns the number
// of times `exchange` ran.
int ScanAndExchange(ReaderDevice& device, const ReaderAction& exchange);

// The scan of reader detection: as ScanAndExchange, but for readers of both
// generations, without the wait and without the line. Returns the
// number of times `found` ran.
int ScanForReaders(ReaderDevice& device, const ReaderAction& found);

}  // namespace readerlink
