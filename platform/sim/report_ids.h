// Which report IDs each top-level collection has, and how long they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hidhost/hidp.h"
#include "hidhost/sim_device.h"

namespace hidhost::sim {

std::vector<CollectionReports> DescribeCollections(const hid::ParseResult& parsed);

// The length of report `reportId` of `type`: the longest caps length among
// the collections that have it; 0 when none has it.
size_t ReportLength(const std::vector<CollectionReports>& collections, hid::HIDP_REPORT_TYPE type,
                    uint8_t reportId);

}  // namespace hidhost::sim
