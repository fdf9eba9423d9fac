// The reports of each top-level collection and their real sizes, read from
// the raw descriptor. hidraw forwards whatever length it is given, so the
// backend needs each report's own size (not the longest one of the
// collection) to send exactly what the device expects, and the set of report
// IDs per collection to check requests and route input reports.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace hidhost::hidraw {

enum class ReportKind : size_t { Input = 0, Output = 1, Feature = 2 };

class ReportTable {
 public:
  // Byte length of the report with `id`, the ID byte included; 0 when the
  // collection has no such report.
  size_t Length(ReportKind kind, uint8_t id) const;
  bool Has(ReportKind kind, uint8_t id) const { return Length(kind, id) != 0; }
  bool Any(ReportKind kind) const { return !bits_[Index(kind)].empty(); }

  void AddBits(ReportKind kind, uint8_t id, uint64_t bits);

 private:
  static size_t Index(ReportKind kind) { return static_cast<size_t>(kind); }
  std::array<std::map<uint8_t, uint64_t>, 3> bits_;  // data bits per report ID
};

// One table per top-level collection, in descriptor order. Main items outside
// every collection belong to none. The descriptor must already have passed
// the parser (its limits bound this walk).
std::vector<ReportTable> ScanReportTables(const uint8_t* data, size_t length);

}  // namespace hidhost::hidraw
