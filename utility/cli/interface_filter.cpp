#include "interface_filter.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "reader_status.h"

namespace pelorincli {
namespace {

bool SamePath(const std::string& a, const std::string& b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

bool Chosen(const InterfaceChoice& choice, const readerlink::ReaderInterface& reader) {
  if (!choice.path.empty() && !SamePath(reader.path, choice.path)) return false;
  if (choice.serial.empty()) return true;
  const std::unique_ptr<hidhost::Device> device =
      hidhost::CurrentHost().Open(reader.path, hidhost::Access::Query);
  return device != nullptr && SerialNumber(*device) == choice.serial;
}

}  // namespace pelorincli
