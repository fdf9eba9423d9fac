// Descriptor files: either whitespace-separated two-digit hex bytes (the
// form of the test data) or the raw descriptor bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hid {

// Decodes hex text ("05 01 09 06 ..."). Returns false, with a reason in
// `*error` when given, on anything but hex byte pairs and whitespace.
bool DecodeHexText(const std::string& text, std::vector<uint8_t>* bytes, std::string* error);

// Reads a descriptor file. Text made only of hex pairs and whitespace is
// decoded; anything else is taken as raw bytes. Files larger than
// `maxBytes` are refused; false then, with the reason in `*error` when given.
bool LoadDescriptorFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error,
                        size_t maxBytes = 1 << 20);

}  // namespace hid
