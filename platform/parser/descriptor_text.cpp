#include "descriptor_text.h"

#include <fstream>
#include <iterator>

namespace hid {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool DecodeHexText(const std::string& text, std::vector<uint8_t>& bytes, std::string& error) {
  bytes.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    const int hi = HexDigit(text[i]);
    const int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
    if (hi < 0 || lo < 0 || (i + 2 < text.size() && !IsSpace(text[i + 2]))) {
      error = "not a hex byte at character " + std::to_string(i);
      return false;
    }
    bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
    i += 2;
  }
  return true;
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
