// The parsed model of one top-level collection, as the HidP_* functions see
// it. Private to the parser: callers only hold an opaque pointer.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "hidhost/hidp.h"

namespace hid::detail {

// One button or value caps record plus where its fields sit in the report.
struct Record {
  // The public fields, in the value-caps shape; a button record leaves the
  // value-only fields zero and is converted on the way out.
  HIDP_VALUE_CAPS caps{};
  bool isButton = false;
  bool isArray = false;
  // Bit position of the record's first field, counted from the start of the
  // report buffer (byte 0 is the report ID, so fields start at bit 8).
  uint32_t bitOffset = 0;
  // Fields the record covers: a range's usages plus any surplus fields, a
  // single usage's fields, or an array's slots.
  uint16_t fieldCount = 0;
  // Report Size: bits per field. Fields wider than 32 bits are kept in
  // the layout but cannot be read or written as a ULONG.
  uint16_t bitSize = 0;
  // Arrays: the report value that selects the record's first usage.
  uint32_t arrayIndexFirst = 0;
};

// Everything about one report type (input, output or feature).
struct ReportTypeModel {
  std::vector<Record> records;  // in the order the caps queries return them
  uint16_t byteLength = 0;
  uint16_t dataIndexCount = 0;
  std::vector<HIDP_BUTTON_CAPS> buttonCaps;
  std::vector<HIDP_VALUE_CAPS> valueCaps;
  std::vector<uint32_t> buttonRecords;  // record index of every button, in order
  // Value lookup: non-range value records by (page << 16 | usage), each list
  // ascending; range value records separately, ascending.
  std::unordered_map<uint32_t, std::vector<uint32_t>> valuesByUsage;
  std::vector<uint32_t> valueRanges;
  // Button records per report ID, in order: buttonsById[buttonsByIdStart[id] ..
  // buttonsByIdStart[id + 1]).
  std::array<uint32_t, 257> buttonsByIdStart{};
  std::vector<uint32_t> buttonsById;
  // Report IDs that carry at least one record of this type.
  std::array<bool, 256> idHasRecords{};
};

inline constexpr uint32_t kPreparsedMagic = 0x50504448u;  // "HDPP"

}  // namespace hid::detail

namespace hid {

struct HIDP_PREPARSED_DATA {
  uint32_t magic = detail::kPreparsedMagic;
  HIDP_CAPS caps{};
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes;
  std::array<detail::ReportTypeModel, 3> types;
};

namespace detail {

inline bool IsValid(PHIDP_PREPARSED_DATA pp) { return pp != nullptr && pp->magic == kPreparsedMagic; }
inline bool IsValidType(HIDP_REPORT_TYPE type) { return type >= HidP_Input && type <= HidP_Feature; }

}  // namespace detail
}  // namespace hid
