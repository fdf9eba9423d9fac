#include "interface_path.h"

#include <cstdio>

namespace hidhost::hidraw {

namespace {
constexpr char kNodePrefix[] = "hidraw";
constexpr char kCollectionTag[] = "&col";

bool AllDigits(const std::string& text, size_t from, size_t to) {
  if (from >= to) return false;
  for (size_t i = from; i < to; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}
}  // namespace

bool IsHidrawNodeName(const std::string& name) {
  const size_t prefix = sizeof kNodePrefix - 1;
  return name.size() > prefix && name.size() <= prefix + 9 &&
         name.compare(0, prefix, kNodePrefix) == 0 && AllDigits(name, prefix, name.size());
}

std::string FormatInterfacePath(const std::string& devRoot, const std::string& nodeName,
                                size_t collection, size_t collectionCount) {
  std::string path = devRoot + "/" + nodeName;
  if (collectionCount > 1) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "%s%02zu", kCollectionTag, collection + 1);
    path += tag;
  }
  return path;
}

bool ParseInterfacePath(const std::string& devRoot, const std::string& path,
                        std::string* nodeName, size_t* collection) {
  const std::string prefix = devRoot + "/";
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return false;
  std::string rest = path.substr(prefix.size());
  size_t index = 0;
  const size_t tag = rest.find(kCollectionTag);
  if (tag != std::string::npos) {
    const size_t digits = tag + sizeof kCollectionTag - 1;
    if (rest.size() - digits != 2 || !AllDigits(rest, digits, rest.size())) return false;
    const size_t number = static_cast<size_t>((rest[digits] - '0') * 10 + (rest[digits + 1] - '0'));
    if (number == 0) return false;
    index = number - 1;
    rest.resize(tag);
  }
  if (!IsHidrawNodeName(rest)) return false;
  *nodeName = rest;
  *collection = index;
  return true;
}

}  // namespace hidhost::hidraw
