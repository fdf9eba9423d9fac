// ParseReportDescriptor: walks the items of a report descriptor, keeps the
// item state table, and hands every main item to the builder of the
// top-level collection it belongs to.
#include <array>
#include <new>

#include "collection_builder.h"
#include "item_stream.h"
#include "parse_state.h"

namespace hid {
namespace detail {
namespace {

std::string Hex(uint32_t v) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[v & 15]);
    v >>= 4;
  } while (v);
  return "0x" + s;
}

class DescriptorParser {
 public:
  DescriptorParser(const uint8_t* data, size_t length) : data_(data), length_(length), builder_(length) {
    locals_.usages.reserve(16);
    models_.reserve(4);
  }

  std::vector<PreparsedPtr> Run() {
    // The stream is local so that its position stays in a register across
    // the item handlers.
    ItemStream stream(data_, length_);
    Item item;
    const char* error = nullptr;
    while (stream.Next(item, error)) {
      switch (item.type) {
        case ItemType::Main: Main(item); break;
        case ItemType::Global: Global(item); break;
        case ItemType::Local: Local(item); break;
        default: break;  // long and reserved items carry nothing we use
      }
    }
    if (error != nullptr) throw DescriptorError(item.offset, error);
    if (depth_ != 0) {
      throw DescriptorError(length_, std::to_string(depth_) + " collection(s) still open at the end of the descriptor");
    }
    if (models_.empty()) throw DescriptorError(length_, "the descriptor holds no top-level collection");
    return std::move(models_);
  }

  bool usesReportIds = false;

 private:
  void Main(const Item& item) {
    switch (item.tag) {
      case 0x8: Field(item, HidP_Input); break;
      case 0x9: Field(item, HidP_Output); break;
      case 0xB: Field(item, HidP_Feature); break;
      case 0xA: OpenCollection(item); break;
      case 0xC: CloseCollection(item); break;
      default: return;  // reserved main item: ignored, locals kept
    }
    locals_.Reset();
  }

  void Field(const Item& item, HIDP_REPORT_TYPE type) {
    static const char* names[] = {"Input", "Output", "Feature"};
    if (depth_ == 0) throw DescriptorError(item.offset, std::string(names[type]) + " item outside any collection");
    if (++mainItems_ > kMaxMainItems) {
      throw DescriptorError(item.offset, "more than " + std::to_string(kMaxMainItems) + " Input/Output/Feature items");
    }
    FinishUsages(item);
    builder_.AddMainItem(item.offset, type, static_cast<uint16_t>(item.data & 0x1FF), globals_, locals_);
    if (records_ + builder_.RecordCount() > kMaxCapsRecords) {
      throw DescriptorError(item.offset, "more than " + std::to_string(kMaxCapsRecords) + " caps records");
    }
  }

  void OpenCollection(const Item& item) {
    if (++collections_ > kMaxCollections) {
      throw DescriptorError(item.offset, "more than " + std::to_string(kMaxCollections) + " collections");
    }
    if (depth_ >= kMaxNestingDepth) {
      throw DescriptorError(item.offset, "collections nested deeper than " + std::to_string(kMaxNestingDepth));
    }
    FinishUsages(item);
    if (depth_ == 0) builder_.Begin();
    builder_.Open(static_cast<uint8_t>(item.data & 0xFF),
                   locals_.usages.empty() ? nullptr : &locals_.usages.front(), globals_.usagePage);
    ++depth_;
  }

  void CloseCollection(const Item& item) {
    if (depth_ == 0) throw DescriptorError(item.offset, "End Collection without a matching Collection");
    --depth_;
    if (builder_.Close()) {
      records_ += builder_.RecordCount();
      models_.push_back(builder_.Finish());
    }
  }

  // Completes the usage list before a main item uses it: a lone Usage
  // Minimum or Maximum counts as a single usage, and a Usage Page declared
  // after the usages applies to the trailing usages that took an older page.
  void FinishUsages(const Item& item) {
    LocalState& l = locals_;
    if (l.inDelimiter) throw DescriptorError(item.offset, "main item inside an open Delimiter set");
    if (l.min.have != l.max.have) {
      const LocalState::Bound& b = l.min.have ? l.min : l.max;
      AddUsage(item, MakeUsage(b.data, b.size, b.page));
      l.min.have = l.max.have = false;
    }
    for (size_t i = l.usages.size(); i-- > 0;) {
      UsageEntry& e = l.usages[i];
      if (e.explicitPage) continue;
      if (e.page == globals_.usagePage) break;
      e.page = globals_.usagePage;
    }
  }

  UsageEntry MakeUsage(uint32_t data, uint8_t size, uint16_t pageAtDeclaration) const {
    UsageEntry e;
    e.explicitPage = size == 4 && (data >> 16) != 0;
    e.page = e.explicitPage ? static_cast<uint16_t>(data >> 16) : pageAtDeclaration;
    e.min = e.max = static_cast<uint16_t>(data & 0xFFFF);
    e.aliasSet = locals_.inDelimiter ? locals_.delimiterSets : 0;
    return e;
  }

  void AddUsage(const Item& item, const UsageEntry& e) {
    if (locals_.usages.size() >= kMaxUsagesPerItem) {
      throw DescriptorError(item.offset, "more than " + std::to_string(kMaxUsagesPerItem) + " usages for one main item");
    }
    locals_.usages.push_back(e);
  }

  void Global(const Item& item) {
    GlobalState& g = globals_;
    switch (item.tag) {
      case 0x0:
        if (item.data > 0xFFFF) throw DescriptorError(item.offset, "Usage Page " + Hex(item.data) + " is wider than 16 bits");
        g.usagePage = static_cast<uint16_t>(item.data);
        break;
      case 0x1: g.logicalMin = item.Signed(); break;
      case 0x2: g.logicalMax = item.Signed(); break;
      case 0x3: g.physicalMin = item.Signed(); break;
      case 0x4: g.physicalMax = item.Signed(); break;
      case 0x5: g.unitExponent = static_cast<uint32_t>(item.Signed()); break;
      case 0x6: g.unit = static_cast<uint32_t>(item.Signed()); break;
      case 0x7: g.reportSize = item.data; break;
      case 0x8:
        if (item.data == 0 || item.data > 255) {
          throw DescriptorError(item.offset, "Report ID " + std::to_string(item.data) + " is outside 1..255");
        }
        g.reportId = static_cast<uint8_t>(item.data);
        usesReportIds = true;
        break;
      case 0x9: g.reportCount = item.data; break;
      case 0xA:
        if (pushed_ >= kMaxPushDepth) {
          throw DescriptorError(item.offset, "more than " + std::to_string(kMaxPushDepth) + " nested Push items");
        }
        pushedGlobals_[pushed_++] = g;
        break;
      case 0xB:
        if (pushed_ == 0) throw DescriptorError(item.offset, "Pop without a matching Push");
        g = pushedGlobals_[--pushed_];
        break;
      default: break;  // reserved
    }
  }

  void Local(const Item& item) {
    LocalState& l = locals_;
    const auto value16 = static_cast<uint16_t>(item.data);
    switch (item.tag) {
      case 0x0: AddUsage(item, MakeUsage(item.data, item.size, globals_.usagePage)); break;
      case 0x1: SetBound(item, l.min); break;
      case 0x2: SetBound(item, l.max); break;
      case 0x3: l.designatorIndex = value16; break;
      case 0x4:
        l.designatorMin = value16;
        l.haveDesignatorMin = true;
        l.designatorRange = l.haveDesignatorMax;
        break;
      case 0x5:
        l.designatorMax = value16;
        l.haveDesignatorMax = true;
        l.designatorRange = l.haveDesignatorMin;
        break;
      case 0x7: l.stringIndex = value16; break;
      case 0x8:
        l.stringMin = value16;
        l.haveStringMin = true;
        l.stringRange = l.haveStringMax;
        break;
      case 0x9:
        l.stringMax = value16;
        l.haveStringMax = true;
        l.stringRange = l.haveStringMin;
        break;
      case 0xA:
        if (item.data == 1) {
          if (l.inDelimiter) throw DescriptorError(item.offset, "Delimiter set opened inside another");
          l.inDelimiter = true;
          ++l.delimiterSets;
        } else if (item.data == 0) {
          if (!l.inDelimiter) throw DescriptorError(item.offset, "Delimiter close without an open set");
          l.inDelimiter = false;
        } else {
          throw DescriptorError(item.offset, "Delimiter value " + std::to_string(item.data) + " is neither 0 nor 1");
        }
        break;
      default: break;  // reserved
    }
  }

  // A Usage Minimum or Maximum; the pair becomes a range once both are in.
  void SetBound(const Item& item, LocalState::Bound& bound) {
    bound = {true, item.data, item.size, globals_.usagePage};
    LocalState& l = locals_;
    if (!l.min.have || !l.max.have) return;
    const UsageEntry lo = MakeUsage(l.min.data, l.min.size, l.min.page);
    const UsageEntry hi = MakeUsage(l.max.data, l.max.size, l.max.page);
    if (lo.explicitPage && hi.explicitPage && lo.page != hi.page) {
      throw DescriptorError(item.offset, "usage range spans usage pages " + Hex(lo.page) + " and " + Hex(hi.page));
    }
    if (hi.min < lo.min) {
      throw DescriptorError(item.offset, "Usage Maximum " + Hex(hi.min) + " is below Usage Minimum " + Hex(lo.min));
    }
    UsageEntry range = lo.explicitPage ? lo : hi;
    range.explicitPage = lo.explicitPage || hi.explicitPage;
    range.min = lo.min;
    range.max = hi.min;
    range.isRange = true;
    AddUsage(item, range);
    l.min.have = l.max.have = false;
  }

  const uint8_t* data_;
  size_t length_;
  GlobalState globals_;
  LocalState locals_;
  std::array<GlobalState, kMaxPushDepth> pushedGlobals_;
  size_t pushed_ = 0;
  CollectionBuilder builder_;
  std::vector<PreparsedPtr> models_;
  size_t depth_ = 0;
  size_t collections_ = 0;
  size_t mainItems_ = 0;
  size_t records_ = 0;
};

}  // namespace
}  // namespace detail

ParseResult ParseReportDescriptor(const uint8_t* data, size_t length) {
  ParseResult result;
  if (data == nullptr && length != 0) {
    result.error = "no descriptor data";
    return result;
  }
  if (length > kMaxDescriptorBytes) {
    result.error = "descriptor of " + std::to_string(length) + " bytes is longer than the limit of " +
                   std::to_string(kMaxDescriptorBytes);
    return result;
  }
  try {
    detail::DescriptorParser parser(data, length);
    result.collections = parser.Run();
    result.usesReportIds = parser.usesReportIds;
  } catch (const detail::DescriptorError& e) {
    result.error = e.what();
  } catch (const std::bad_alloc&) {
    result.error = "out of memory while parsing the descriptor";
  }
  if (!result.ok()) {
    result.collections.clear();
    result.usesReportIds = false;
  }
  return result;
}

}  // namespace hid
