#include "collection_builder.h"

#include <algorithm>
#include <memory>
#include <new>

namespace hid::detail {
namespace {

void SetUsages(HIDP_VALUE_CAPS& caps, const UsageEntry& e) {
  caps.UsagePage = e.page;
  caps.IsRange = e.isRange ? 1 : 0;
  caps.Range.UsageMin = e.min;
  caps.Range.UsageMax = e.max;
}

void SetDataIndices(HIDP_VALUE_CAPS& caps, uint16_t first, uint32_t count) {
  caps.Range.DataIndexMin = first;
  caps.Range.DataIndexMax = static_cast<uint16_t>(first + count - 1);
}

bool OnlyUsageZero(const std::vector<UsageEntry>& usages) {
  return std::all_of(usages.begin(), usages.end(), [](const UsageEntry& e) { return e.max == 0; });
}

}  // namespace

CollectionBuilder::CollectionBuilder(size_t descriptorBytes) {
  // A record takes at least one two-byte main item; most descriptors use
  // far fewer records than bytes.
  records_.reserve(std::min<size_t>(descriptorBytes / 4 + 8, 1024));
  // A collection takes at least three bytes (Collection, End Collection).
  nodes_.reserve(std::min<size_t>(descriptorBytes / 16 + 8, 64));
}

void CollectionBuilder::Begin() {
  depth_ = 0;
  nextDataIndex_ = {};
  counts_ = {};
  nodes_.clear();
  records_.clear();
  for (const ReportBits& r : reportBits_) reportSlot_[r.type * 256u + r.id] = 0;
  reportBits_.clear();
}

void CollectionBuilder::Open(uint8_t collectionType, const UsageEntry* usage, uint16_t usagePage) {
  HIDP_LINK_COLLECTION_NODE node{};
  // A collection without a usage still takes the Usage Page in effect.
  node.LinkUsagePage = usagePage;
  if (usage) {
    node.LinkUsage = usage->min;
    node.LinkUsagePage = usage->page;
  }
  node.CollectionType = collectionType;
  const auto index = static_cast<uint16_t>(nodes_.size());
  if (depth_ != 0) {
    // Children are linked newest first: FirstChild is the last declared
    // child, NextSibling the previously declared one.
    auto& parent = nodes_[open_[depth_ - 1]];
    node.Parent = open_[depth_ - 1];
    node.NextSibling = parent.FirstChild;
    parent.FirstChild = index;
    ++parent.NumberOfChildren;
  }
  nodes_.push_back(node);
  open_[depth_++] = index;
}

bool CollectionBuilder::Close() { return --depth_ == 0; }

inline CollectionBuilder::ReportBits& CollectionBuilder::ReportOf(HIDP_REPORT_TYPE type, uint8_t reportId) {
  const uint16_t slot = reportSlot_[type * 256u + reportId];
  return slot != 0 ? reportBits_[slot - 1] : NewReport(type, reportId);
}

CollectionBuilder::ReportBits& CollectionBuilder::NewReport(HIDP_REPORT_TYPE type, uint8_t reportId) {
  const auto t = static_cast<uint8_t>(type);
  if (reportBits_.capacity() == 0) reportBits_.reserve(16);
  reportBits_.push_back({t, reportId, 0, false, 0});
  reportSlot_[t * 256u + reportId] = static_cast<uint16_t>(reportBits_.size());
  return reportBits_.back();
}

[[noreturn]] void CollectionBuilder::TooManyDataIndices(size_t offset) {
  throw DescriptorError(offset, "more than 65535 data indices in one report type");
}

inline uint16_t CollectionBuilder::TakeDataIndices(size_t offset, HIDP_REPORT_TYPE type, uint32_t count) {
  uint32_t& next = nextDataIndex_[type];
  if (next + count > 0xFFFF) TooManyDataIndices(offset);
  const auto first = static_cast<uint16_t>(next);
  next += count;
  return first;
}

void CollectionBuilder::AddMainItem(size_t offset, HIDP_REPORT_TYPE type, uint16_t bitField,
                                    const GlobalState& g, const LocalState& l) {
  const uint64_t itemBits = static_cast<uint64_t>(g.reportSize) * g.reportCount;
  if (itemBits == 0) {
    // Nothing in the report; with usages, Report Size 0 is an error.
    if (!l.usages.empty() && g.reportCount != 0) throw DescriptorError(offset, "Report Size 0 for a field with usages");
    return;
  }
  // A report exists once an item gives it bits.
  ReportBits& report = ReportOf(type, g.reportId);
  uint32_t& bits = report.bits;
  const uint32_t start = bits == 0 ? 8 : bits;
  if (start + itemBits > kMaxReportBits) {
    throw DescriptorError(offset, "report " + std::to_string(g.reportId) + " grows beyond " +
                                      std::to_string(kMaxReportBits) + " bits (Report Size " +
                                      std::to_string(g.reportSize) + " x Report Count " +
                                      std::to_string(g.reportCount) + ")");
  }
  bits = static_cast<uint32_t>(start + itemBits);
  // Padding: no usage, no record; its bits still count.
  if (l.usages.empty()) return;
  // Constant arrays and constant items of usage 0 get no record either.
  const bool isArray = (bitField & 0x02) == 0;
  if ((bitField & 0x01) != 0 && (isArray || OnlyUsageZero(l.usages))) return;

  Record base;
  base.reportType = static_cast<uint8_t>(type);
  base.isArray = isArray;
  base.isButton = isArray || g.reportSize == 1;
  base.bitSize = static_cast<uint16_t>(g.reportSize);
  auto& c = base.caps;
  c.ReportID = g.reportId;
  c.BitField = bitField;
  const uint16_t link = open_[depth_ - 1];
  c.LinkCollection = link;
  c.LinkUsage = nodes_[link].LinkUsage;
  c.LinkUsagePage = nodes_[link].LinkUsagePage;
  c.IsAbsolute = (bitField & 0x04) ? 0 : 1;
  c.IsStringRange = l.stringRange ? 1 : 0;
  c.Range.StringMin = l.stringRange ? l.stringMin : l.stringIndex;
  c.Range.StringMax = l.stringRange ? l.stringMax : l.stringIndex;
  c.IsDesignatorRange = l.designatorRange ? 1 : 0;
  c.Range.DesignatorMin = l.designatorRange ? l.designatorMin : l.designatorIndex;
  c.Range.DesignatorMax = l.designatorRange ? l.designatorMax : l.designatorIndex;
  if (!base.isButton) {
    c.HasNull = (bitField & 0x40) ? 1 : 0;
    c.BitSize = static_cast<USHORT>(g.reportSize);
    c.UnitsExp = g.unitExponent;
    c.Units = g.unit;
    c.LogicalMin = g.logicalMin;
    c.LogicalMax = g.logicalMax;
    c.PhysicalMin = g.physicalMin;
    c.PhysicalMax = g.physicalMax;
  }
  const size_t before = records_.size();
  uint32_t ranges = 0;
  if (isArray) {
    AddArray(offset, type, base, start, g, l.usages);
  } else if (l.usages.size() == 1) {
    ranges = AddSingleVariable(offset, type, base, start, g, l.usages.front());
  } else if (l.delimiterSets == 0) {
    ranges = AddPlainVariable(offset, type, base, start, g, l.usages);
  } else {
    ranges = AddVariable(offset, type, base, start, g, l.usages);
  }
  // Counted here so that the index is sized and laid out without another
  // pass over the records.
  const auto added = static_cast<uint32_t>(records_.size() - before);
  RecordCounts& counts = counts_[type];
  report.hasRecords = true;
  if (base.isButton) {
    report.buttons += added;
    counts.buttons += added;
  } else {
    counts.ranges += ranges;
    counts.singles += added - ranges;
  }
}

uint32_t CollectionBuilder::AddVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base,
                                        uint32_t startBit, const GlobalState& g, const std::vector<UsageEntry>& usages) {
  // A slot is one usage, one range, or one delimiter set of aliases; it
  // takes as many fields as it has usages (an alias set takes one).
  std::vector<Slot>& slots = slots_;
  slots.clear();
  for (size_t i = 0; i < usages.size();) {
    size_t j = i;
    if (usages[i].aliasSet != 0) {
      while (j + 1 < usages.size() && usages[j + 1].aliasSet == usages[i].aliasSet) ++j;
    }
    slots.push_back({i, j, 0, usages[i].Count(), 0});
    i = j + 1;
  }
  // Fields go to the slots in declaration order; slots beyond Report Count
  // are dropped, and the last slot kept absorbs any surplus fields. A range
  // never keeps more usages than its slot has fields, aliases included, so
  // that every usage of a record has a field of its own.
  uint32_t remaining = g.reportCount;
  size_t kept = 0;
  for (auto& s : slots) {
    if (remaining == 0) break;
    if (s.fields > remaining) s.fields = remaining;
    s.rangeFields = s.fields;
    s.fieldOffset = g.reportCount - remaining;
    remaining -= s.fields;
    ++kept;
  }
  slots[kept - 1].fields += remaining;
  // A usage as its slot keeps it: a range cut to the slot's fields.
  auto kept_usage = [&](size_t e, const Slot& s) {
    UsageEntry u = usages[e];
    if (u.isRange && u.Count() > s.rangeFields) u.max = static_cast<uint16_t>(u.min + s.rangeFields - 1);
    return u;
  };

  auto& records = records_;
  uint32_t ranges = 0;
  for (size_t k = kept; k-- > 0;) {
    const Slot& s = slots[k];
    const uint32_t indices = (s.first == s.last) ? kept_usage(s.first, s).Count() : 1;
    const uint16_t dataIndex = TakeDataIndices(offset, type, indices);
    // Aliases come out last declared first; the preferred (first declared)
    // usage ends the run and is the only one not marked as an alias.
    for (size_t e = s.last + 1; e-- > s.first;) {
      const UsageEntry u = kept_usage(e, s);
      Record& r = records.emplace_back(base);
      SetUsages(r.caps, u);
      SetDataIndices(r.caps, dataIndex, indices);
      r.caps.IsAlias = (e != s.first) ? 1 : 0;
      r.bitOffset = startBit + s.fieldOffset * g.reportSize;
      r.fieldCount = static_cast<uint16_t>(s.fields);
      if (!r.isButton) r.caps.ReportCount = u.isRange ? 1 : static_cast<USHORT>(s.fields);
      ranges += u.isRange;
    }
  }
  return ranges;
}

uint32_t CollectionBuilder::AddPlainVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base,
                                             uint32_t startBit, const GlobalState& g,
                                             const std::vector<UsageEntry>& usages) {
  // The same rules as AddVariable with every slot a single usage or range:
  // the usages kept take their counts of fields in turn, except the last
  // kept, which takes whatever fields are left.
  const uint32_t reportCount = g.reportCount;
  size_t kept = 0;
  uint64_t taken = 0, lastOffset = 0;
  for (; kept < usages.size() && taken < reportCount; ++kept) {
    lastOffset = taken;
    taken += usages[kept].Count();
  }
  auto offsetOf = static_cast<uint32_t>(lastOffset);
  uint32_t ranges = 0;
  for (size_t k = kept; k-- > 0;) {
    UsageEntry u = usages[k];
    uint32_t fields = u.Count();
    if (k + 1 == kept) {
      fields = reportCount - offsetOf;
      // A range keeps no more usages than it has fields.
      if (u.isRange && u.Count() > fields) u.max = static_cast<uint16_t>(u.min + fields - 1);
    }
    const uint32_t indices = u.Count();
    const uint16_t dataIndex = TakeDataIndices(offset, type, indices);
    Record& r = records_.emplace_back(base);
    SetUsages(r.caps, u);
    SetDataIndices(r.caps, dataIndex, indices);
    r.bitOffset = startBit + offsetOf * g.reportSize;
    r.fieldCount = static_cast<uint16_t>(fields);
    if (!r.isButton) r.caps.ReportCount = u.isRange ? 1 : static_cast<USHORT>(fields);
    if (k != 0) offsetOf -= usages[k - 1].Count();
    ranges += u.isRange;
  }
  return ranges;
}

uint32_t CollectionBuilder::AddSingleVariable(size_t offset, HIDP_REPORT_TYPE type, const Record& base,
                                              uint32_t startBit, const GlobalState& g, const UsageEntry& usage) {
  // The one usage takes every field; a range keeps no more usages than
  // there are fields.
  UsageEntry u = usage;
  if (u.isRange && u.Count() > g.reportCount) u.max = static_cast<uint16_t>(u.min + g.reportCount - 1);
  const uint32_t indices = u.Count();
  const uint16_t dataIndex = TakeDataIndices(offset, type, indices);
  Record& r = records_.emplace_back(base);
  SetUsages(r.caps, u);
  SetDataIndices(r.caps, dataIndex, indices);
  r.bitOffset = startBit;
  r.fieldCount = static_cast<uint16_t>(g.reportCount);
  if (!r.isButton) r.caps.ReportCount = u.isRange ? 1 : static_cast<USHORT>(g.reportCount);
  return u.isRange ? 1 : 0;
}

void CollectionBuilder::AddArray(size_t offset, HIDP_REPORT_TYPE type, const Record& base, uint32_t startBit,
                                 const GlobalState& g, const std::vector<UsageEntry>& usages) {
  // A report value selects a usage by its position in the item's usage list:
  // 1 is the first usage and 0 an empty slot. A list starting at usage 0
  // (keyboard style) is indexed from 0, so a value equals its usage there.
  // Positions and data indices both run on through the list, so each usage
  // starts at its list's start plus the usages before it; the records come
  // out last usage first.
  const uint32_t firstPosition = usages.front().min == 0 ? 0 : 1;
  uint32_t before = 0;
  for (const UsageEntry& u : usages) before += u.Count();
  const uint16_t firstIndex = TakeDataIndices(offset, type, before);
  auto& records = records_;
  for (size_t e = usages.size(); e-- > 0;) {
    before -= usages[e].Count();
    Record& r = records.emplace_back(base);
    SetUsages(r.caps, usages[e]);
    SetDataIndices(r.caps, static_cast<uint16_t>(firstIndex + before), usages[e].Count());
    r.bitOffset = startBit;
    r.fieldCount = static_cast<uint16_t>(g.reportCount);
    r.arrayIndexFirst = firstPosition + before;
    if (!r.isButton) r.caps.ReportCount = static_cast<USHORT>(g.reportCount);
  }
}

PreparsedPtr CollectionBuilder::Finish() {
  std::sort(reportBits_.begin(), reportBits_.end(), [](const ReportBits& a, const ReportBits& b) {
    return a.type != b.type ? a.type < b.type : a.id < b.id;
  });
  // The index entries the records will need: two for a button or a
  // single-usage value, one for a range value.
  std::array<uint32_t, 3> recordsOfType{};
  size_t indexEntries = 0;
  for (uint8_t t = 0; t < 3; ++t) {
    const RecordCounts& c = counts_[t];
    recordsOfType[t] = c.buttons + c.ranges + c.singles;
    indexEntries += 2 * c.buttons + 2 * c.singles + c.ranges;
  }
  auto model = AllocateModel(nodes_.size(), records_.size(), reportBits_.size(), indexEntries);
  HIDP_PREPARSED_DATA& pp = *model;
  std::uninitialized_copy(nodes_.begin(), nodes_.end(), pp.nodes.begin());
  pp.caps.Usage = pp.nodes[0].LinkUsage;
  pp.caps.UsagePage = pp.nodes[0].LinkUsagePage;
  pp.caps.NumberLinkCollectionNodes = static_cast<USHORT>(pp.nodes.size());
  // Records and reports, grouped by report type in type order.
  std::array<Record*, 3> nextRecord{};
  uint32_t recordsBefore = 0;
  for (uint8_t t = 0; t < 3; ++t) {
    pp.types[t].records = {recordsBefore, recordsOfType[t]};
    nextRecord[t] = pp.records.data() + recordsBefore;
    recordsBefore += recordsOfType[t];
  }
  for (const Record& r : records_) new (nextRecord[r.reportType]++) Record(r);
  const ReportBits* bits = reportBits_.data();
  const ReportBits* bitsEnd = bits + reportBits_.size();
  ReportEntry* entry = pp.reports.data();
  for (uint8_t t = 0; t < 3; ++t) {
    ReportTypeModel& m = pp.types[t];
    m.reports.begin = static_cast<uint32_t>(entry - pp.reports.data());
    uint32_t maxBits = 0;
    for (; bits != bitsEnd && bits->type == t; ++bits) {
      ReportEntry* e = new (entry++) ReportEntry();
      e->hasRecords = bits->hasRecords;
      e->buttonsEnd = bits->buttons;  // a count until the index is built
      e->length.ReportID = bits->id;
      e->length.ByteLength = static_cast<USHORT>((bits->bits + 7) / 8);
      maxBits = std::max(maxBits, bits->bits);
    }
    m.reports.count = static_cast<uint32_t>(entry - pp.reports.data()) - m.reports.begin;
    m.byteLength = static_cast<uint16_t>((maxBits + 7) / 8);
    m.dataIndexCount = static_cast<uint16_t>(nextDataIndex_[t]);
  }
  pp.caps.InputReportByteLength = pp.types[HidP_Input].byteLength;
  pp.caps.OutputReportByteLength = pp.types[HidP_Output].byteLength;
  pp.caps.FeatureReportByteLength = pp.types[HidP_Feature].byteLength;
  BuildIndexes(pp, counts_, indexScratch_);
  return model;
}

std::shared_ptr<HIDP_PREPARSED_DATA> AllocateModel(size_t nodes, size_t records, size_t reports, size_t index) {
  constexpr size_t kAlign = alignof(std::max_align_t);
  auto round = [](size_t n) { return (n + kAlign - 1) / kAlign * kAlign; };
  const size_t nodesAt = round(sizeof(HIDP_PREPARSED_DATA));
  const size_t recordsAt = nodesAt + round(nodes * sizeof(HIDP_LINK_COLLECTION_NODE));
  const size_t reportsAt = recordsAt + round(records * sizeof(Record));
  const size_t indexAt = reportsAt + round(reports * sizeof(ReportEntry));
  const size_t bytes = indexAt + index * sizeof(uint32_t);
  auto block = std::make_shared_for_overwrite<std::max_align_t[]>(round(bytes) / kAlign);
  auto* base = reinterpret_cast<std::byte*>(block.get());
  auto* pp = new (base) HIDP_PREPARSED_DATA();
  pp->nodes = {reinterpret_cast<HIDP_LINK_COLLECTION_NODE*>(base + nodesAt), nodes};
  pp->records = {reinterpret_cast<Record*>(base + recordsAt), records};
  pp->reports = {reinterpret_cast<ReportEntry*>(base + reportsAt), reports};
  pp->index = {reinterpret_cast<uint32_t*>(base + indexAt), index};
  // The model shares the block's ownership; the block is freed with it.
  return std::shared_ptr<HIDP_PREPARSED_DATA>(std::move(block), pp);
}

}  // namespace hid::detail
