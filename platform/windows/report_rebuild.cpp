#include "report_rebuild.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "hidhost/hidp.h"

namespace hidhost::win {
namespace {

using namespace hid;

constexpr NTSTATUS kSuccess = 0x00110000;
constexpr uint32_t kMaxProbeBits = 8 * 4096;

// One main item to write: where it sits and what the caps said of it.
struct Field {
  int type = 0;
  uint8_t id = 0;
  uint16_t link = 0;
  uint32_t bit = 0;  // first bit in the report, the ID byte counted
  uint32_t size = 0;
  uint32_t count = 0;
  bool isButton = false;
  bool isArray = false;
  HIDP_VALUE_CAPS caps{};                 // a button's record in the value shape
  std::vector<HIDP_VALUE_CAPS> extra;     // further usage ranges of an array
  uint32_t End() const { return bit + size * count; }
};

struct Writer {
  std::vector<uint8_t> bytes;
  void Unsigned(uint8_t prefix, uint32_t value) {
    const int n = value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : 4;
    Put(prefix, n, value);
  }
  void Signed(uint8_t prefix, int32_t value) {
    const int n = (value >= -128 && value <= 127) ? 1 : (value >= -32768 && value <= 32767) ? 2 : 4;
    Put(prefix, n, static_cast<uint32_t>(value));
  }
  void Put(uint8_t prefix, int n, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(prefix | (n == 4 ? 3 : n)));
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
};

HIDP_VALUE_CAPS FromButton(const HIDP_BUTTON_CAPS& b) {
  HIDP_VALUE_CAPS v{};
  static_assert(sizeof v == sizeof b);
  std::copy_n(reinterpret_cast<const uint8_t*>(&b), 16, reinterpret_cast<uint8_t*>(&v));
  v.Range = b.Range;
  v.ReportCount = b.ReportCount;  // the slots of an array, where the system fills it
  return v;
}

uint16_t UsageMin(const HIDP_VALUE_CAPS& c) { return c.IsRange ? c.Range.UsageMin : c.NotRange.Usage; }
uint16_t UsageMax(const HIDP_VALUE_CAPS& c) { return c.IsRange ? c.Range.UsageMax : c.NotRange.Usage; }

class Rebuilder {
 public:
  Rebuilder(Win32Api& api, void* pp) : api_(api), pp_(pp) {}

  std::optional<std::vector<uint8_t>> Run() {
    if (api_.GetCaps(pp_, &caps_) != kSuccess) return std::nullopt;
    uint32_t n = caps_.NumberLinkCollectionNodes;
    nodes_.resize(std::max<uint32_t>(n, 1));
    if (n == 0 || api_.GetLinkCollectionNodes(nodes_.data(), &n, pp_) != kSuccess) return std::nullopt;
    nodes_.resize(n);
    const uint16_t lengths[3] = {caps_.InputReportByteLength, caps_.OutputReportByteLength,
                                 caps_.FeatureReportByteLength};
    const uint16_t buttons[3] = {caps_.NumberInputButtonCaps, caps_.NumberOutputButtonCaps,
                                 caps_.NumberFeatureButtonCaps};
    const uint16_t values[3] = {caps_.NumberInputValueCaps, caps_.NumberOutputValueCaps,
                                caps_.NumberFeatureValueCaps};
    for (int type = 0; type < 3; ++type) {
      if (!Probe(type, lengths[type], buttons[type], values[type])) return std::nullopt;
    }
    Write();
    return out_.bytes;
  }

 private:
  bool Probe(int type, uint16_t byteLength, uint16_t buttonCount, uint16_t valueCount) {
    std::vector<HIDP_BUTTON_CAPS> b(buttonCount);
    std::vector<HIDP_VALUE_CAPS> v(valueCount);
    if (buttonCount > 0 && api_.GetButtonCaps(type, b.data(), &buttonCount, pp_) != kSuccess) return false;
    if (valueCount > 0 && api_.GetValueCaps(type, v.data(), &valueCount, pp_) != kSuccess) return false;
    std::vector<HIDP_VALUE_CAPS> records(v.begin(), v.begin() + valueCount);
    const size_t firstButton = records.size();
    for (size_t i = 0; i < buttonCount; ++i) records.push_back(FromButton(b[i]));

    // hits[r]: the bits that made record r answer, per usage of its range.
    std::vector<std::map<uint16_t, std::vector<uint32_t>>> hits(records.size());
    const uint32_t bits = std::min<uint32_t>(byteLength * 8u, kMaxProbeBits);
    std::vector<uint8_t> report(byteLength);
    std::vector<USAGE_AND_PAGE> on(64);
    std::vector<uint8_t> ids;
    for (const auto& r : records) ids.push_back(r.ReportID);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (const uint8_t id : ids) {
      for (uint32_t bit = 8; bit < bits; ++bit) {
        std::fill(report.begin(), report.end(), 0);
        report[0] = id;
        report[bit / 8] = static_cast<uint8_t>(1u << (bit % 8));
        for (size_t r = 0; r < firstButton; ++r) {
          if (records[r].ReportID != id) continue;
          for (uint32_t u = UsageMin(records[r]); u <= UsageMax(records[r]); ++u) {
            uint32_t value = 0;
            if (api_.GetUsageValue(type, records[r].UsagePage, records[r].LinkCollection, static_cast<uint16_t>(u),
                                   &value, pp_, report.data(), byteLength) == kSuccess &&
                value != 0) {
              hits[r][static_cast<uint16_t>(u)].push_back(bit);
            }
          }
        }
        uint32_t count = static_cast<uint32_t>(on.size());
        if (buttonCount == 0 ||
            api_.GetUsagesEx(type, 0, on.data(), &count, pp_, report.data(), byteLength) != kSuccess) {
          continue;
        }
        for (uint32_t i = 0; i < count; ++i) {
          for (size_t r = firstButton; r < records.size(); ++r) {
            const auto& c = records[r];
            if (c.ReportID == id && c.UsagePage == on[i].UsagePage && on[i].Usage >= UsageMin(c) &&
                on[i].Usage <= UsageMax(c)) {
              hits[r][on[i].Usage].push_back(bit);
              break;
            }
          }
        }
      }
    }
    for (size_t r = 0; r < records.size(); ++r) {
      if (r == 0 || r == firstButton) previous_ = SIZE_MAX;  // groups stay within one caps list
      AddField(type, records[r], r >= firstButton, hits[r]);
    }
    return true;
  }

  // Whether `f` continues the main item of `group`: the system lists the
  // usages of one main item last first, each field just below the one before.
  static bool SameMainItem(const Field& group, const Field& f) {
    const HIDP_VALUE_CAPS& a = group.caps;
    const HIDP_VALUE_CAPS& b = f.caps;
    return !group.isArray && !f.isArray && !a.IsRange && !b.IsRange && group.type == f.type &&
           group.id == f.id && group.link == f.link && group.size == f.size && f.count == 1 &&
           f.bit != UINT32_MAX && group.bit == f.bit + f.size && a.BitField == b.BitField &&
           a.UsagePage == b.UsagePage && a.LogicalMin == b.LogicalMin && a.LogicalMax == b.LogicalMax &&
           a.PhysicalMin == b.PhysicalMin && a.PhysicalMax == b.PhysicalMax && a.Units == b.Units &&
           a.UnitsExp == b.UnitsExp;
  }

  void AddField(int type, const HIDP_VALUE_CAPS& c, bool isButton,
                const std::map<uint16_t, std::vector<uint32_t>>& hits) {
    Field f;
    f.type = type;
    f.id = c.ReportID;
    f.link = c.LinkCollection;
    f.caps = c;
    f.isButton = isButton;
    f.isArray = isButton && (c.BitField & 0x02) == 0;
    std::vector<uint32_t> all;
    for (const auto& [usage, list] : hits) all.insert(all.end(), list.begin(), list.end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    const uint32_t usages = UsageMax(c) - UsageMin(c) + 1u;
    if (!isButton) {
      f.size = c.BitSize;
      f.count = c.IsRange ? usages : std::max<uint16_t>(c.ReportCount, 1);
    } else if (!f.isArray) {
      // A usage's surplus fields answer for it too.
      f.size = 1;
      f.count = std::max<uint32_t>({usages, c.ReportCount, all.empty() ? 0u : all.back() - all.front() + 1});
    } else {
      if (!all.empty()) {
        for (auto& field : fields_) {  // a further usage range of an array met before
          if (field.isArray && field.type == type && field.id == c.ReportID && all.front() >= field.bit &&
              all.front() < field.End()) {
            field.extra.push_back(c);
            return;
          }
        }
      }
      SlotShape(c, all, &f.size, &f.count);
    }
    if (all.empty()) {
      // Not told apart by probing: an array range that no single bit selects
      // joins the array before it; anything else follows the last field.
      if (f.isArray) {
        for (auto it = fields_.rbegin(); it != fields_.rend(); ++it) {
          if (it->isArray && it->type == type && it->id == c.ReportID) {
            it->extra.push_back(c);
            return;
          }
        }
      }
      f.bit = UINT32_MAX;
    } else {
      f.bit = all.front();
    }
    if (previous_ != SIZE_MAX && SameMainItem(fields_[previous_], f)) {
      Field& group = fields_[previous_];
      group.extra.push_back(c);
      group.bit = f.bit;
      ++group.count;
      return;
    }
    previous_ = fields_.size();
    fields_.push_back(f);
  }

  // Slots of an array from the bits that selected one of its usages: runs
  // of bits, one run per slot.
  static void SlotShape(const HIDP_VALUE_CAPS& c, const std::vector<uint32_t>& bits, uint32_t* size,
                        uint32_t* count) {
    std::vector<std::pair<uint32_t, uint32_t>> runs;  // first, last
    for (const uint32_t b : bits) {
      if (!runs.empty() && runs.back().second + 1 == b) {
        runs.back().second = b;
      } else {
        runs.push_back({b, b});
      }
    }
    if (runs.size() > 1) {
      *size = runs[1].first - runs[0].first;
      *count = static_cast<uint32_t>(runs.size());
      return;
    }
    const uint32_t extent = runs.empty() ? 8 : runs[0].second - runs[0].first + 1;
    const uint16_t capsCount = c.ReportCount;
    if (capsCount > 0 && extent % capsCount == 0) {
      *size = extent / capsCount;
      *count = capsCount;
    } else if (extent % 8 == 0) {
      *size = 8;
      *count = extent / 8;
    } else {
      *size = extent;
      *count = 1;
    }
  }

  using Key = std::tuple<int, uint8_t, uint32_t>;
  static Key KeyOf(const Field& f) { return {f.type, f.id, f.bit}; }

  Key SubtreeKey(uint16_t node) const {
    Key best{3, 0, 0};
    for (const auto& f : fields_) {
      if (f.link == node) best = std::min(best, KeyOf(f));
    }
    for (uint16_t child = 1; child < nodes_.size(); ++child) {
      if (nodes_[child].Parent == node) best = std::min(best, SubtreeKey(child));
    }
    return best;
  }

  void Write() {
    // Fields the probe could not place follow the last placed one of their report.
    std::stable_sort(fields_.begin(), fields_.end(), [](const Field& a, const Field& b) {
      return std::tie(a.type, a.id) < std::tie(b.type, b.id);
    });
    std::map<std::pair<int, uint8_t>, uint32_t> ends;
    for (auto& f : fields_) {
      uint32_t& end = ends.try_emplace({f.type, f.id}, 8).first->second;
      if (f.bit == UINT32_MAX) f.bit = end;
      end = std::max(end, f.End());
    }
    for (const auto& f : fields_) usesIds_ = usesIds_ || f.id != 0;
    WriteNode(0);
  }

  void WriteNode(uint16_t node) {
    const auto& n = nodes_[node];
    out_.Unsigned(0x04, n.LinkUsagePage);
    out_.Unsigned(0x08, n.LinkUsage);
    out_.Unsigned(0xA0, n.CollectionType);
    // The node's own fields and its child collections, in report order.
    std::vector<std::pair<Key, int>> parts;  // >= 0: field index; < 0: -(child node)
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (fields_[i].link == node) parts.push_back({KeyOf(fields_[i]), static_cast<int>(i)});
    }
    for (uint16_t child = 1; child < nodes_.size(); ++child) {
      if (nodes_[child].Parent == node && child != node) parts.push_back({SubtreeKey(child), -child});
    }
    std::stable_sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, part] : parts) {
      if (part >= 0) {
        WriteField(fields_[part]);
      } else {
        WriteNode(static_cast<uint16_t>(-part));
      }
    }
    if (node == 0) PadToLengths();
    out_.bytes.push_back(0xC0);
  }

  static uint8_t MainPrefix(int type) { return type == 0 ? 0x80 : type == 1 ? 0x90 : 0xB0; }

  uint32_t& Cursor(int type, uint8_t id) { return cursors_.try_emplace({type, id}, 8).first->second; }

  void Pad(int type, uint8_t id, uint32_t bits) {
    if (usesIds_) out_.Unsigned(0x84, id);
    out_.Unsigned(0x74, bits);
    out_.Unsigned(0x94, 1);
    out_.Unsigned(MainPrefix(type), 0x01);  // Constant
    Cursor(type, id) += bits;
  }

  void WriteField(const Field& f) {
    uint32_t& cursor = Cursor(f.type, f.id);
    if (f.bit > cursor) Pad(f.type, f.id, f.bit - cursor);
    const HIDP_VALUE_CAPS& c = f.caps;
    if (usesIds_) out_.Unsigned(0x84, f.id);
    out_.Unsigned(0x04, c.UsagePage);
    if (f.isArray) {
      uint32_t usages = UsageMax(c) - UsageMin(c) + 1u;
      for (const auto& e : f.extra) usages += UsageMax(e) - UsageMin(e) + 1u;
      const int32_t first = UsageMin(c) == 0 ? 0 : 1;
      out_.Signed(0x14, first);
      out_.Signed(0x24, static_cast<int32_t>(first + usages - 1));
    } else if (f.isButton) {
      out_.Signed(0x14, 0);
      out_.Signed(0x24, 1);
    } else {
      out_.Signed(0x14, c.LogicalMin);
      out_.Signed(0x24, c.LogicalMax);
    }
    if (!f.isButton && (c.PhysicalMin != 0 || c.PhysicalMax != 0)) {
      out_.Signed(0x34, c.PhysicalMin);
      out_.Signed(0x44, c.PhysicalMax);
    }
    if (!f.isButton) {
      out_.Unsigned(0x54, c.UnitsExp);
      out_.Unsigned(0x64, c.Units);
    }
    out_.Unsigned(0x74, f.size);
    out_.Unsigned(0x94, f.count);
    if (f.isArray) {
      WriteUsages(c);
      for (const auto& e : f.extra) WriteUsages(e);
    } else {
      // A main item's usages, first field first: the last listed comes first.
      for (auto e = f.extra.rbegin(); e != f.extra.rend(); ++e) WriteUsages(*e);
      WriteUsages(c);
    }
    if (c.BitField > 0xFF) {
      out_.Put(MainPrefix(f.type), 2, c.BitField);
    } else {
      out_.Unsigned(MainPrefix(f.type), c.BitField);
    }
    cursor = std::max(cursor, f.End());
  }

  void WriteUsages(const HIDP_VALUE_CAPS& c) {
    const auto extended = [&](uint16_t usage) { return (static_cast<uint32_t>(c.UsagePage) << 16) | usage; };
    if (c.IsRange) {
      out_.Put(0x18, 4, extended(c.Range.UsageMin));
      out_.Put(0x28, 4, extended(c.Range.UsageMax));
    } else {
      out_.Put(0x08, 4, extended(c.NotRange.Usage));
    }
    if (c.IsStringRange) {
      out_.Unsigned(0x88, c.Range.StringMin);
      out_.Unsigned(0x98, c.Range.StringMax);
    } else if (c.NotRange.StringIndex != 0) {
      out_.Unsigned(0x78, c.NotRange.StringIndex);
    }
    if (c.IsDesignatorRange) {
      out_.Unsigned(0x48, c.Range.DesignatorMin);
      out_.Unsigned(0x58, c.Range.DesignatorMax);
    } else if (c.NotRange.DesignatorIndex != 0) {
      out_.Unsigned(0x38, c.NotRange.DesignatorIndex);
    }
  }

  // The longest report of each type ends where the caps say.
  void PadToLengths() {
    const uint16_t lengths[3] = {caps_.InputReportByteLength, caps_.OutputReportByteLength,
                                 caps_.FeatureReportByteLength};
    for (int type = 0; type < 3; ++type) {
      if (lengths[type] == 0) continue;
      std::pair<int, uint8_t> longest{-1, 0};
      uint32_t end = 0;
      for (const auto& [key, cursor] : cursors_) {
        if (key.first == type && cursor >= end) longest = key, end = cursor;
      }
      if (longest.first < 0) {
        longest = {type, 0};
        end = Cursor(type, 0);
      }
      const uint32_t want = lengths[type] * 8u;
      if ((end + 7) / 8 < lengths[type]) Pad(type, longest.second, want - end);
    }
  }

  Win32Api& api_;
  void* pp_;
  HIDP_CAPS caps_{};
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes_;
  std::vector<Field> fields_;
  std::map<std::pair<int, uint8_t>, uint32_t> cursors_;
  bool usesIds_ = false;
  size_t previous_ = SIZE_MAX;  // the field the next record may join
  Writer out_;
};

}  // namespace

std::optional<std::vector<uint8_t>> RebuildDescriptor(Win32Api& api, void* preparsed) {
  return Rebuilder(api, preparsed).Run();
}

}  // namespace hidhost::win
