// DumpPreparsedData: a stable, line-oriented text of one model.
#include <cstdarg>
#include <cstdio>

#include "preparsed.h"

namespace hid {
namespace {

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n > 0) out.append(line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

void DumpRecord(std::string& out, const char* typeName, size_t index, const detail::Record& r) {
  const HIDP_VALUE_CAPS& c = r.caps;
  Append(out, "%s %s[%zu]: page 0x%04X usage 0x%04X..0x%04X%s id %u bitfield 0x%03X link %u (0x%04X:0x%04X)%s%s\n",
         typeName, r.isButton ? "button" : "value", index, c.UsagePage, c.Range.UsageMin, c.Range.UsageMax,
         c.IsRange ? " range" : "", c.ReportID, c.BitField, c.LinkCollection, c.LinkUsagePage, c.LinkUsage,
         c.IsAlias ? " alias" : "", c.IsAbsolute ? " abs" : " rel");
  Append(out, "    bit %u size %u fields %u data %u..%u string %u..%u%s designator %u..%u%s\n", r.bitOffset,
         r.bitSize, r.fieldCount, c.Range.DataIndexMin, c.Range.DataIndexMax, c.Range.StringMin, c.Range.StringMax,
         c.IsStringRange ? " range" : "", c.Range.DesignatorMin, c.Range.DesignatorMax,
         c.IsDesignatorRange ? " range" : "");
  if (r.isArray) Append(out, "    array first index %u\n", r.arrayIndexFirst);
  if (!r.isButton) {
    Append(out, "    count %u logical %d..%d physical %d..%d units 0x%08X exp 0x%08X%s\n", c.ReportCount,
           c.LogicalMin, c.LogicalMax, c.PhysicalMin, c.PhysicalMax, c.Units, c.UnitsExp,
           c.HasNull ? " null" : "");
  }
}

}  // namespace

std::string DumpPreparsedData(PHIDP_PREPARSED_DATA pp) {
  if (!detail::IsValid(pp)) return "invalid preparsed data\n";
  const HIDP_CAPS& caps = pp->caps;
  std::string out;
  Append(out, "collection page 0x%04X usage 0x%04X\n", caps.UsagePage, caps.Usage);
  Append(out, "report bytes: input %u output %u feature %u\n", caps.InputReportByteLength,
         caps.OutputReportByteLength, caps.FeatureReportByteLength);
  Append(out, "caps: nodes %u input %u/%u/%u output %u/%u/%u feature %u/%u/%u (buttons/values/indices)\n",
         caps.NumberLinkCollectionNodes, caps.NumberInputButtonCaps, caps.NumberInputValueCaps,
         caps.NumberInputDataIndices, caps.NumberOutputButtonCaps, caps.NumberOutputValueCaps,
         caps.NumberOutputDataIndices, caps.NumberFeatureButtonCaps, caps.NumberFeatureValueCaps,
         caps.NumberFeatureDataIndices);
  for (size_t i = 0; i < pp->nodes.size(); ++i) {
    const auto& n = pp->nodes[i];
    Append(out, "node[%zu]: 0x%04X:0x%04X type %u parent %u children %u first %u next %u%s\n", i, n.LinkUsagePage,
           n.LinkUsage, static_cast<unsigned>(n.CollectionType), n.Parent, n.NumberOfChildren, n.FirstChild,
           n.NextSibling, n.IsAlias ? " alias" : "");
  }
  static const char* typeNames[] = {"input", "output", "feature"};
  for (int t = 0; t < 3; ++t) {
    const auto& model = pp->types[t];
    const detail::Record* records = pp->Records(model);
    size_t buttons = 0, values = 0;
    for (uint32_t i = 0; i < model.records.count; ++i) {
      const detail::Record& r = records[i];
      DumpRecord(out, typeNames[t], r.isButton ? buttons++ : values++, r);
    }
  }
  return out;
}

}  // namespace hid
