#include "descriptor_text.h"

#include <fstream>
#include <iterator>

#include "text/hex_text.h"

namespace hid {

bool DecodeHexText(const std::string& text, std::vector<uint8_t>& bytes, std::string& error) {
  hidhost::HexTextError bad;
  if (hidhost::DecodeHexBytes(text, hidhost::HexDigits::kTwo, &bytes, &bad)) return true;
  error = "not a hex byte at character " + std::to_string(bad.offset);
  return false;
}

bool LoadDescriptorFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error, size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string content;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    content.append(buffer, static_cast<size_t>(in.gcount()));
    if (content.size() > maxBytes) {
      error = path + " is larger than " + std::to_string(maxBytes) + " bytes";
      return false;
    }
  }
  std::string hexError;
  if (!content.empty() && DecodeHexText(content, bytes, hexError)) return true;
  bytes.assign(content.begin(), content.end());
  return true;
}

}  // namespace hid
