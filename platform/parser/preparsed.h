// The parsed model of one top-level collection, as the HidP_* functions see
// it. Private to the parser: callers only hold an opaque pointer.
//
// A model is built once and never changes. Its tables live in four arrays
// shared by the three report types (nodes, records, reports, index), each
// type holding its slices of them, so that no table is sized by the 256
// possible report IDs. The model and its four arrays share one block of
// memory, allocated once (see AllocateModel).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>

#include "hidhost/hidp.h"

namespace hid::detail {

// One button or value caps record plus where its fields sit in the report.
struct Record {
  // The public fields, in the value-caps shape; a button record leaves the
  // value-only fields zero and is converted on the way out.
  HIDP_VALUE_CAPS caps{};
  bool isButton = false;
  bool isArray = false;
  uint8_t reportType = 0;  // HIDP_REPORT_TYPE
  // Report Size: bits per field. Fields wider than 32 bits are kept in
  // the layout but cannot be read or written as a ULONG.
  uint16_t bitSize = 0;
  // Bit position of the record's first field, counted from the start of the
  // report buffer (byte 0 is the report ID, so fields start at bit 8).
  uint32_t bitOffset = 0;
  // Fields the record covers: a range's usages plus any surplus fields, a
  // single usage's fields, or an array's slots.
  uint16_t fieldCount = 0;
  // Arrays: the report value that selects the record's first usage.
  uint32_t arrayIndexFirst = 0;
};

// One report of a type: its ID and length, and where its button records
// are listed in the type's buttons-by-report slice of the index.
struct ReportEntry {
  ReportLength length;
  bool hasRecords = false;
  uint32_t buttonsBegin = 0, buttonsEnd = 0;  // positions in buttonsById
};

// A slice [begin, begin + count) of one of the model's arrays.
struct Slice {
  uint32_t begin = 0, count = 0;
};

// Everything about one report type (input, output or feature). Record
// numbers are positions in the type's `records` slice.
struct ReportTypeModel {
  Slice records;  // in the order the caps queries return them
  Slice reports;  // ascending report ID
  uint16_t byteLength = 0;
  uint16_t dataIndexCount = 0;
  uint16_t buttonCount = 0, valueCount = 0;
  // Slices of the index:
  Slice buttonRecords;  // record number of every button, in order
  Slice buttonsById;    // the same, grouped by report ID (see ReportEntry)
  // Non-range value records as (page << 16 | usage, record number) pairs,
  // ascending; two index entries per pair.
  Slice valuesByUsage;
  Slice valueRanges;    // range value records, ascending
};

inline constexpr uint32_t kPreparsedMagic = 0x50504448u;  // "HDPP"

}  // namespace hid::detail

namespace hid {

struct HIDP_PREPARSED_DATA {
  uint32_t magic = detail::kPreparsedMagic;
  HIDP_CAPS caps{};
  // Views of the arrays that follow the model in its block.
  std::span<HIDP_LINK_COLLECTION_NODE> nodes;
  std::span<detail::Record> records;
  std::span<detail::ReportEntry> reports;
  std::span<uint32_t> index;
  detail::ReportTypeModel types[3];

  const detail::Record* Records(const detail::ReportTypeModel& t) const { return records.data() + t.records.begin; }
  const detail::ReportEntry* Reports(const detail::ReportTypeModel& t) const {
    return reports.data() + t.reports.begin;
  }
  const uint32_t* Index(detail::Slice s) const { return index.data() + s.begin; }
  // The report with `id` of a type, or null.
  const detail::ReportEntry* FindReport(const detail::ReportTypeModel& t, uint8_t id) const;
};

namespace detail {

// The block is released without running destructors.
static_assert(std::is_trivially_destructible_v<HIDP_PREPARSED_DATA>);
static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_copyable_v<ReportEntry>);

// A model with room for the given numbers of nodes, records, report entries
// and index entries, in one allocation; the arrays are left unset.
std::shared_ptr<HIDP_PREPARSED_DATA> AllocateModel(size_t nodes, size_t records, size_t reports, size_t index);

inline bool IsValid(PHIDP_PREPARSED_DATA pp) { return pp != nullptr && pp->magic == kPreparsedMagic; }
inline bool IsValidType(HIDP_REPORT_TYPE type) { return type >= HidP_Input && type <= HidP_Feature; }

}  // namespace detail
}  // namespace hid
