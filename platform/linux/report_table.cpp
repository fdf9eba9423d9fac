#include "report_table.h"

namespace hidhost::hidraw {

size_t ReportTable::Length(ReportKind kind, uint8_t id) const {
  const auto& byId = bits_[Index(kind)];
  const auto it = byId.find(id);
  if (it == byId.end()) return 0;
  return static_cast<size_t>((8 + it->second + 7) / 8);
}

void ReportTable::AddBits(ReportKind kind, uint8_t id, uint64_t bits) {
  bits_[Index(kind)][id] += bits;
}

namespace {

constexpr size_t kMaxPushDepth = 32;

struct Globals {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

uint32_t ItemValue(const uint8_t* data, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return value;
}

}  // namespace

std::vector<ReportTable> ScanReportTables(const uint8_t* data, size_t length) {
  std::vector<ReportTable> tables;
  std::vector<Globals> pushed;
  Globals globals;
  size_t depth = 0;
  size_t pos = 0;
  while (pos < length) {
    const uint8_t prefix = data[pos];
    if (prefix == 0xFE) {  // long item: size byte, tag byte, data
      if (pos + 1 >= length) break;
      pos += 3 + data[pos + 1];
      continue;
    }
    static constexpr size_t kSizes[4] = {0, 1, 2, 4};
    const size_t size = kSizes[prefix & 3];
    if (pos + 1 + size > length) break;
    const uint32_t value = ItemValue(data + pos + 1, size);
    pos += 1 + size;
    switch (prefix & 0xFC) {
      case 0xA0:  // Collection
        if (depth++ == 0) tables.emplace_back();
        break;
      case 0xC0:  // End Collection
        if (depth > 0) --depth;
        break;
      case 0x80:
      case 0x90:
      case 0xB0: {  // Input, Output, Feature
        if (depth == 0) break;
        const ReportKind kind = (prefix & 0xFC) == 0x80   ? ReportKind::Input
                                : (prefix & 0xFC) == 0x90 ? ReportKind::Output
                                                          : ReportKind::Feature;
        tables.back().AddBits(kind, globals.reportId,
                              static_cast<uint64_t>(globals.reportSize) * globals.reportCount);
        break;
      }
      case 0x74: globals.reportSize = value; break;
      case 0x84: globals.reportId = static_cast<uint8_t>(value); break;
      case 0x94: globals.reportCount = value; break;
      case 0xA4:
        if (pushed.size() < kMaxPushDepth) pushed.push_back(globals);
        break;
      case 0xB4:
        if (!pushed.empty()) {
          globals = pushed.back();
          pushed.pop_back();
        }
        break;
      default: break;
    }
  }
  return tables;
}

}  // namespace hidhost::hidraw
