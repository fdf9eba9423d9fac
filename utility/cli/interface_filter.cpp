#include "interface_filter.h"

#include <algorithm>
#include <cctype>

#include "reader_status.h"

namespace pelorincli {
namespace {

// Interface paths are compared without regard to letter case, as the reader
// link compares them.
bool SamePath(const std::string& a, const std::string& b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

class FilterHost : public hidhost::Host {
 public:
  FilterHost(std::shared_ptr<hidhost::Host> inner, InterfaceChoice choice)
      : inner_(std::move(inner)), choice_(std::move(choice)) {}

  bool EnumerateInterfaces(std::vector<std::string>* paths) override {
    if (!inner_->EnumerateInterfaces(paths)) return false;
    std::erase_if(*paths, [this](const std::string& p) { return !Chosen(p); });
    return true;
  }
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override {
    return inner_->Open(path, access);
  }
  hidhost::Clock& clock() override { return inner_->clock(); }

 private:
  bool Chosen(const std::string& path) {
    if (!choice_.path.empty() && !SamePath(path, choice_.path)) return false;
    if (choice_.serial.empty()) return true;
    const std::unique_ptr<hidhost::Device> device = inner_->Open(path, hidhost::Access::Query);
    return device != nullptr && SerialNumber(*device) == choice_.serial;
  }

  std::shared_ptr<hidhost::Host> inner_;
  InterfaceChoice choice_;
};

}  // namespace

InterfaceFilter::InterfaceFilter(const InterfaceChoice& choice)
    : previous_(hidhost::SharedCurrentHost()) {
  hidhost::InstallHost(std::make_shared<FilterHost>(previous_, choice));
}

InterfaceFilter::~InterfaceFilter() { hidhost::InstallHost(previous_); }

}  // namespace pelorincli
