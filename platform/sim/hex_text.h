// Hex byte text of the device files and transcripts: "02 52 24 03 77".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hidhost::sim {

// Parses bytes written as one or two hex digits each, separated by
// whitespace. False with *error saying which byte is bad.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes, std::string* error);

}  // namespace hidhost::sim
