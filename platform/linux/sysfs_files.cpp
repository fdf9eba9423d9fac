#include "sysfs_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace hidhost::hidraw {

namespace {
constexpr size_t kAttributeLimit = 4096;  // one page, the most sysfs hands out
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<uint8_t> bytes(limit + 1);
  size_t used = 0;
  bool ok = true;
  while (used < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  ::close(fd);
  if (!ok || used > limit) return std::nullopt;
  bytes.resize(used);
  return bytes;
}

std::optional<std::string> ReadAttribute(const std::string& path) {
  auto bytes = ReadFileBytes(path, kAttributeLimit);
  if (!bytes) return std::nullopt;
  std::string text(bytes->begin(), bytes->end());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::optional<std::string> FindKeyValue(const std::string& text, const std::string& key) {
  size_t line = 0;
  while (line < text.size()) {
    size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (end - line > key.size() && text.compare(line, key.size(), key) == 0 &&
        text[line + key.size()] == '=') {
      const size_t value = line + key.size() + 1;
      return text.substr(value, end - value);
    }
    line = end + 1;
  }
  return std::nullopt;
}

}  // namespace hidhost::hidraw
