// Files in a fresh temporary folder, removed with it.
#pragma once

#include <filesystem>
#include <string>

namespace skelmar_test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder() { std::filesystem::remove_all(root_, ignored_); }

  // Writes `content` byte for byte to `name` and returns the file's path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
  std::error_code ignored_;
};

}  // namespace skelmar_test
