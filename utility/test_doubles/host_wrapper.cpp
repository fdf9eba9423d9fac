#include "utility/host_wrapper.h"

namespace utility::testing {

std::shared_ptr<HostWrapper> HostWrapper::Install(const std::string& preset,
                                                  std::shared_ptr<hidhost::Clock> clock,
                                                  std::string* error) {
  error->clear();
  auto sim = hidhost::sim::SimulatedHost::Create(preset, std::move(clock), error);
  if (!sim || !error->empty()) return nullptr;
  sim->SetRecordProgramStarts(true);
  auto host = std::make_shared<HostWrapper>(sim);
  hidhost::InstallHost(host);
  hidhost::InstallServices(host);
  return host;
}

std::vector<std::string> HostWrapper::Paths() {
  std::vector<std::string> paths;
  inner_->EnumerateInterfaces(&paths);
  return paths;
}

bool HostWrapper::EnumerateInterfaces(std::vector<std::string>* paths) {
  ++enumerations_;
  paths->clear();
  if (unplugged_) return true;
  if (!inner_->EnumerateInterfaces(paths)) return false;
  if (repeated_ && *repeated_ < paths->size()) {
    const std::string path = (*paths)[*repeated_];
    paths->insert(paths->begin() + static_cast<std::ptrdiff_t>(*repeated_) + 1, path);
  }
  return true;
}

std::unique_ptr<hidhost::Device> HostWrapper::Open(const std::string& path, hidhost::Access access) {
  if (onOpen) onOpen();
  if (unplugged_) {
    hidhost::SetLastError(hidhost::kErrorFileNotFound);
    return nullptr;
  }
  if (refused_.count(path) != 0 && opens_[path]++ % 2 == 1) {
    hidhost::SetLastError(hidhost::kErrorGenFailure);
    return nullptr;
  }
  return inner_->Open(path, access);
}

}  // namespace utility::testing
