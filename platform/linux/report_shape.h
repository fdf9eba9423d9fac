// Report buffers between the host layer's layout and hidraw's.
//
// The host layer's layout: byte 0 is the report ID (0 when the collection
// uses none), then the data, in a buffer at least as long as the caps say.
// hidraw takes and gives the real report: the ID byte first (0 without IDs)
// for requests, but input reads leave the ID byte out when the device uses
// no report IDs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hidhost/hidp.h"

namespace hidhost::hidraw {

struct ReportRequest {
  uint32_t error = 0;     // 0 when the request may go to the device
  uint8_t id = 0;         // the report ID to send in byte 0
  size_t realLength = 0;  // the report's own size, ID byte included
};

// Checks a feature or output request of `length` bytes against the
// collection's model: shorter than `capsLength` (or a collection without
// such reports) gives 87; so does an ID the collection does not have when
// the device uses report IDs. Without report IDs byte 0 is ignored. Each
// report's own length comes from the parser.
ReportRequest CheckRequest(hid::PHIDP_PREPARSED_DATA pp, bool usesIds, hid::HIDP_REPORT_TYPE type,
                           size_t capsLength, const uint8_t* report, size_t length);

// Turns one report read from the node into the host layout in `out` (at
// least `capsLength` bytes): the ID byte put back when the device uses
// none, cut or zero-padded to `capsLength`. False when the report belongs
// to another collection of the node.
bool NormaliseInput(hid::PHIDP_PREPARSED_DATA pp, bool usesIds, size_t capsLength,
                    const uint8_t* raw, size_t rawLength, uint8_t* out);

}  // namespace hidhost::hidraw
