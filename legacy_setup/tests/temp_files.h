// Files in a fresh temporary folder, removed with it.
#pragma once

#include <filesystem>
#include <string>

namespace skelmar_test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Writes `content` byte for byte to `name` and returns the file's path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

}  // namespace skelmar_test
