// Builds the model of one top-level collection while the descriptor parser
// walks its items: link-collection nodes, caps records, data indices and the
// bit layout of every report. One builder serves every top-level collection
// of a descriptor and keeps its scratch space between them, so that a parse
// allocates little beyond the models it returns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hidhost/hidp.h"
#include "parse_state.h"
#include "preparsed.h"

namespace hid::detail {

// The records of one report type, by the index entries they take.
struct RecordCounts {
  uint32_t buttons = 0;
  uint32_t ranges = 0;   // range values
  uint32_t singles = 0;  // single-usage values
};

class CollectionBuilder {
 public:
  // `descriptorBytes` sizes the scratch space once for the whole parse.
  explicit CollectionBuilder(size_t descriptorBytes);

  // Starts the model of a new top-level collection.
  void Begin();
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
  // Records added to the current collection so far.
  size_t RecordCount() const { return records_.size(); }
  // Completes the model: report lengths, caps counts and lookup indices.
  PreparsedPtr Finish();

 private:
  // Bits used so far by one report (report-ID byte included), and its
  // records.
  struct ReportBits {
    uint8_t type = 0;  // HIDP_REPORT_TYPE
    uint8_t id = 0;
    uint32_t bits = 0;
    bool hasRecords = false;
    uint32_t buttons = 0;  // button records
  };
  // One usage, one range, or one delimiter set of aliases of a variable
  // item, and the fields it takes.
  struct Slot {
    size_t first, last;
    uint32_t fieldOffset, fields;
    uint32_t rangeFields;  // fields its ranges may cover (before any surplus)
  };

  ReportBits& ReportOf(HIDP_REPORT_TYPE type, uint8_t reportId);
  ReportBits& NewReport(HIDP_REPORT_TYPE type, uint8_t reportId);
  // The variable item adders return how many of their records are ranges.
  uint32_t AddVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                       const GlobalState& g, const std::vector<UsageEntry>& usages);
  // A variable item with one usage or range: one record.
  uint32_t AddSingleVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                             const GlobalState& g, const UsageEntry& usage);
  // A variable item without delimiter sets: no slot list needed.
  uint32_t AddPlainVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                            const GlobalState& g, const std::vector<UsageEntry>& usages);
  void AddArray(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                const GlobalState& g, const std::vector<UsageEntry>& usages);
  uint16_t TakeDataIndices(size_t offset, HIDP_REPORT_TYPE type, uint32_t count);
  [[noreturn]] static void TooManyDataIndices(size_t offset);

  std::array<uint16_t, kMaxNestingDepth> open_{};  // node indices of the open collections
  size_t depth_ = 0;
  std::array<uint32_t, 3> nextDataIndex_{};
  std::array<RecordCounts, 3> counts_{};  // per report type
  // Scratch space, kept from one top-level collection to the next.
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes_;
  std::vector<Record> records_;                  // all report types, tagged
  std::vector<ReportBits> reportBits_;  // every report of every type
  // Position + 1 in reportBits_ of each (type, report ID), 0 for none; only
  // the entries of reportBits_ are ever non-zero.
  std::array<uint16_t, 3 * 256> reportSlot_{};
  std::vector<Slot> slots_;
  std::vector<uint64_t> indexScratch_;
};

// Fills a finished model's report entries, caps counts and lookup indices
// from its records, filling its index exactly. `counts` are the records of
// each type; each report entry comes with hasRecords set and its number of
// button records in buttonsEnd. `scratch` is working space.
void BuildIndexes(HIDP_PREPARSED_DATA& pp, const std::array<RecordCounts, 3>& counts,
                  std::vector<uint64_t>& scratch);

}  // namespace hid::detail
