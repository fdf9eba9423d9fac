#include "temp_files.h"

#include <atomic>
#include <fstream>

namespace skelmar_test {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    const auto stamp = std::filesystem::file_time_type::clock::now().time_since_epoch().count();
    root_ = base / ("skelmar-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(root_)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::string TempFolder::Write(const std::string& name, const std::string& content) const {
  const std::filesystem::path path = root_ / name;
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path.string();
}

}  // namespace skelmar_test
