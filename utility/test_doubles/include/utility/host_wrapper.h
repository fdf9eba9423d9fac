// A host and system services for dialog tests: the simulated host, seen through a wrapper that
// can repeat an interface at a second position, make one interface refuse
// to open after its probe, hide every interface (unplug), and counts the
// interface enumerations.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hidhost/sim.h"

namespace utility::testing {

class HostWrapper : public hidhost::Host, public hidhost::SystemServices {
 public:
  explicit HostWrapper(std::shared_ptr<hidhost::sim::SimulatedHost> inner) : inner_(std::move(inner)) {}

  // The simulated host of `preset` (a preset name or device file) on
  // `clock`, recording program starts, wrapped and installed as the host
  // and the system services. Null, with *error saying why, when the preset
  // cannot be read.
  static std::shared_ptr<HostWrapper> Install(const std::string& preset,
                                              std::shared_ptr<hidhost::Clock> clock,
                                              std::string* error);

  hidhost::sim::SimulatedHost& sim() { return *inner_; }

  // Position `index` is listed a second time, right after itself.
  void RepeatInterface(size_t index) { repeated_ = index; }
  // Opens of `path` other than the first of each probe-then-open pair fail:
  // the probe sees a reader, opening it for the exchange fails.
  void RefuseSecondOpen(const std::string& path) { refused_.insert(path); }
  // Hides every interface (as if unplugged) or shows them again.
  void SetUnplugged(bool unplugged) { unplugged_ = unplugged; }
  // Called at every open, while the opening operation runs.
  std::function<void()> onOpen;
  // Types `text` through the installed keyboard sink, as a reader does.
  void TypeAsReader(const std::string& text) {
    if (sink_) sink_(text);
  }
  int enumerations() const { return enumerations_; }
  std::vector<std::string> Paths();

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override;
  hidhost::Clock& clock() override { return inner_->clock(); }

  // SystemServices
  void SetKeyboardSink(hidhost::KeyboardSink sink) override {
    sink_ = sink;
    inner_->SetKeyboardSink(std::move(sink));
  }
  bool StartProgram(const std::string& name) override { return inner_->StartProgram(name); }
  bool CapsLockOn() override { return inner_->CapsLockOn(); }

 private:
  std::shared_ptr<hidhost::sim::SimulatedHost> inner_;
  std::optional<size_t> repeated_;
  std::set<std::string> refused_;
  std::map<std::string, int> opens_;
  bool unplugged_ = false;
  hidhost::KeyboardSink sink_;
  int enumerations_ = 0;
};

}  // namespace utility::testing
