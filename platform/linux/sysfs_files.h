// Small readers for sysfs attribute files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hidhost::hidraw {

// The whole file, at most `limit` bytes; nullopt when it cannot be read or is
// longer than `limit`.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit);

// A text attribute without its trailing newline; nullopt when absent.
std::optional<std::string> ReadAttribute(const std::string& path);

// The value of `key` in a KEY=value file such as uevent; nullopt when absent.
std::optional<std::string> FindKeyValue(const std::string& text, const std::string& key);

}  // namespace hidhost::hidraw
