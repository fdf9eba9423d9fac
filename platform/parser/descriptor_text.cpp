#include "descriptor_text.h"

#include <fstream>
#include <iterator>
#include <utility>

#include "text/hex_text.h"

namespace hid {

namespace {
bool Refuse(std::string* error, std::string why) {
  if (error != nullptr) *error = std::move(why);
  return false;
}
}  // namespace

bool DecodeHexText(const std::string& text, std::vector<uint8_t>* bytes, std::string* error) {
  hidhost::HexTextError bad;
  if (hidhost::DecodeHexBytes(text, hidhost::HexDigits::kTwo, bytes, &bad)) return true;
  return Refuse(error, "not a hex byte at character " + std::to_string(bad.offset));
}

bool LoadDescriptorFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error, size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Refuse(error, "cannot open " + path);
  std::string content;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    content.append(buffer, static_cast<size_t>(in.gcount()));
    if (content.size() > maxBytes) {
      return Refuse(error, path + " is larger than " + std::to_string(maxBytes) + " bytes");
    }
  }
  if (!content.empty() && DecodeHexText(content, bytes, nullptr)) return true;
  bytes->assign(content.begin(), content.end());
  return true;
}

}  // namespace hid
