#include "temp_files.h"

#include <fstream>
#include <random>

namespace skelmar_test {

TempFolder::TempFolder() {
  std::random_device random;
  do {
    root_ = std::filesystem::temp_directory_path() / ("skelmar-test-" + std::to_string(random()));
  } while (!std::filesystem::create_directory(root_));
}

std::string TempFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream(root_ / name, std::ios::binary) << content;
  return Path(name);
}

}  // namespace skelmar_test
