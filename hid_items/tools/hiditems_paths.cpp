#include "hiditems_paths.h"

#include <cctype>
#include <sstream>

#include "hiditems_walk.h"

namespace hiditems {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::istringstream stream(text);
  for (std::string piece; std::getline(stream, piece, separator);) pieces.push_back(piece);
  return pieces;
}

std::optional<uint32_t> HexField(const std::string& text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

}  // namespace

std::optional<std::vector<PathStep>> ParsePathSteps(const std::string& text) {
  std::vector<PathStep> steps;
  for (const std::string& piece : Split(text, '&')) {
    if (piece.empty()) continue;
    const std::vector<std::string> fields = Split(piece, ':');
    if (fields.size() != 3) return std::nullopt;
    const auto page = HexField(fields[0]), usage = HexField(fields[1]), number = HexField(fields[2]);
    if (!page || !usage || !number) return std::nullopt;
    steps.push_back({*page & 0xFFFF, *usage & 0xFF, *number & 0xFFFF});
  }
  if (steps.empty()) return std::nullopt;
  return steps;
}

std::optional<uint8_t> PathUsage(const std::string& text) {
  const auto steps = ParsePathSteps(text);
  if (!steps) return std::nullopt;
  return static_cast<uint8_t>(steps->back().usage);
}

std::optional<ListedItem> FindListedItem(uint32_t device, const std::string& text, uint32_t kinds) {
  const auto wanted = ParsePathSteps(text);
  if (!wanted || wanted->size() < 2) return std::nullopt;
  std::optional<ListedItem> found;
  WalkItems(device, [&](const WalkedItem& item) {
    if (item.path == nullptr || (item.info.Flags & kinds) == 0) return true;
    const auto steps = ParsePathSteps(item.path);
    if (!steps || steps->size() != wanted->size()) return true;
    for (size_t i = 0; i < steps->size(); ++i) {
      const PathStep& a = (*steps)[i];
      const PathStep& b = (*wanted)[i];
      // A collection is named by its node index; the item by page and usage.
      if (a.page != b.page || a.usage != b.usage || (i + 1 < steps->size() && a.number != b.number)) return true;
    }
    found = ListedItem{item.path, item.info};
    return false;
  });
  return found;
}

std::string FullWidthPath(const std::string& text) {
  static constexpr size_t kWidths[] = {4, 2, 4};
  std::string full;
  for (const std::string& piece : Split(text, '&')) {
    if (piece.empty()) continue;
    const std::vector<std::string> fields = Split(piece, ':');
    if (!full.empty()) full += '&';
    for (size_t i = 0; i < fields.size(); ++i) {
      const size_t width = i < 3 ? kWidths[i] : 0;
      if (i > 0) full += ':';
      if (fields[i].size() < width) full += std::string(width - fields[i].size(), '0');
      full += fields[i];
    }
  }
  return full;
}

}  // namespace hiditems
