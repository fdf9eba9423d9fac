// Builds the model of one top-level collection while the descriptor parser
// walks its items: link-collection nodes, caps records, data indices and the
// bit layout of every report.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "hidhost/hidp.h"
#include "parse_state.h"
#include "preparsed.h"

namespace hid::detail {

class CollectionBuilder {
 public:
  CollectionBuilder();

  // A Collection item. `usage` is the collection's first usage, or null;
  // `usagePage` is the Usage Page in effect.
  void Open(uint8_t collectionType, const UsageEntry* usage, uint16_t usagePage);
  // An End Collection item. Returns true when the top-level collection closed.
  bool Close();
  // An Input, Output or Feature item with the item state in effect. Adds the
  // item's bits to its report and its caps records to the model; throws
  // DescriptorError when the item is beyond what the model can hold.
  void AddMainItem(size_t offset, HIDP_REPORT_TYPE type, uint16_t bitField, const GlobalState& globals,
                   const LocalState& locals);
  // Records added so far.
  size_t RecordCount() const;
  // Completes the model: report lengths, caps counts and lookup indices.
  PreparsedPtr Finish();

 private:
  void AddVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                   const GlobalState& g, std::vector<UsageEntry> usages);
  void AddArray(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                const GlobalState& g, const std::vector<UsageEntry>& usages);
  uint16_t TakeDataIndices(size_t offset, HIDP_REPORT_TYPE type, uint32_t count);

  std::shared_ptr<HIDP_PREPARSED_DATA> model_;
  std::vector<uint16_t> open_;  // node indices of the open collections, innermost last
  // Bits used so far per report type and report ID (report-ID byte
  // included); 0 while no item of that report has any bits.
  std::array<std::array<uint32_t, 256>, 3> reportBits_{};
  std::array<uint32_t, 3> nextDataIndex_{};
};

// Fills the caps counts, caps arrays and lookup tables of a finished model.
void BuildIndexes(HIDP_PREPARSED_DATA& pp);

}  // namespace hid::detail
