#include "path_filter_host.h"

#include <algorithm>
#include <cctype>

namespace pelorincli {
namespace {

// Interface paths are compared without regard to letter case, as the reader
// link compares them.
bool SamePath(const std::string& a, const std::string& b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

class PathFilterHost : public hidhost::Host {
 public:
  PathFilterHost(std::shared_ptr<hidhost::Host> inner, std::string path)
      : inner_(std::move(inner)), path_(std::move(path)) {}

  bool EnumerateInterfaces(std::vector<std::string>* paths) override {
    if (!inner_->EnumerateInterfaces(paths)) return false;
    std::erase_if(*paths, [this](const std::string& p) { return !SamePath(p, path_); });
    return true;
  }
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override {
    return inner_->Open(path, access);
  }
  hidhost::Clock& clock() override { return inner_->clock(); }

 private:
  std::shared_ptr<hidhost::Host> inner_;
  std::string path_;
};

}  // namespace

PathFilter::PathFilter(const std::string& path) : previous_(hidhost::SharedCurrentHost()) {
  hidhost::InstallHost(std::make_shared<PathFilterHost>(previous_, path));
}

PathFilter::~PathFilter() { hidhost::InstallHost(previous_); }

}  // namespace pelorincli
