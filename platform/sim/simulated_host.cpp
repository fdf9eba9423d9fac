// The simulated host: interfaces of device models, a clock, the keyboard
// sink, recorded program starts and a Caps Lock switch.
#include <cstdio>
#include <optional>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "host_state.h"
#include "sim_interface_device.h"

namespace hidhost::sim {

namespace {

struct SimInterface {
  std::shared_ptr<DeviceModel> model;
  size_t collection = 0;
  std::string path;
};

// "sim:hid#vid_1C5E&pid_2420&mi_01" and "&col02" for devices with several
// top-level collections, after the shape of Windows interface paths.
std::string InterfacePath(const DeviceModel& model, size_t modelIndex, size_t collection) {
  char text[96];
  std::snprintf(text, sizeof text, "sim:hid#vid_%04X&pid_%04X&mi_%02zu",
                model.definition().attributes.VendorID, model.definition().attributes.ProductID, modelIndex);
  std::string path = text;
  if (model.collections().size() > 1) {
    std::snprintf(text, sizeof text, "&col%02zu", collection + 1);
    path += text;
  }
  return path;
}

}  // namespace

class SimulatedHostImpl {
 public:
  SimulatedHostImpl(std::vector<std::shared_ptr<DeviceModel>> models, std::shared_ptr<Clock> clock)
      : clock_(clock ? std::move(clock) : MakeRealClock()), state_(std::make_shared<HostState>()) {
    std::weak_ptr<HostState> weakState = state_;
    for (size_t m = 0; m < models.size(); ++m) {
      models[m]->Attach(clock_, [weakState](const std::string& text) {
        if (auto state = weakState.lock()) state->Type(text);
      });
      for (size_t c = 0; c < models[m]->collections().size(); ++c) {
        interfaces_.push_back({models[m], c, InterfacePath(*models[m], m, c)});
      }
    }
  }

  std::shared_ptr<Clock> clock_;
  std::shared_ptr<HostState> state_;
  std::vector<SimInterface> interfaces_;

  mutable std::mutex mutex_;
  std::optional<bool> capsLock_;  // set by SetCapsLock
  bool recordStarts_ = true;
  bool startResult_ = true;
  std::vector<std::string> starts_;
  std::shared_ptr<SystemServices> os_;  // for a live host, made on first use

  SystemServices& Os() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!os_) os_ = MakeOsServices();
    return *os_;
  }
};

// The host itself: the interface's members over the state above.
class SimulatedHostObject final : public SimulatedHost {
 public:
  explicit SimulatedHostObject(std::unique_ptr<SimulatedHostImpl> impl) : impl_(std::move(impl)) {}

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  std::unique_ptr<Device> Open(const std::string& path, Access access) override;
  Clock& clock() override;
  void SetKeyboardSink(KeyboardSink sink) override;
  bool StartProgram(const std::string& name) override;
  bool CapsLockOn() override;
  std::vector<std::string> Transcript() const override;
  void ClearTranscript() override;
  void SetCapsLock(bool on) override;
  void SetRecordProgramStarts(bool record, bool result) override;
  std::vector<std::string> ProgramStarts() const override;

 private:
  std::unique_ptr<SimulatedHostImpl> impl_;
};

namespace {
std::shared_ptr<SimulatedHost> Report(const std::string& problem, std::string* error) {
  if (!problem.empty()) std::fprintf(stderr, "%s\n", problem.c_str());
  if (error != nullptr) *error = problem;
  return nullptr;
}
}  // namespace

std::shared_ptr<SimulatedHost> SimulatedHost::Create(const std::string& presetOrPath,
                                                     std::shared_ptr<Clock> clock,
                                                     std::string* error) {
  std::string problem;
  auto models = LoadDeviceModels(presetOrPath, &problem);
  Report(problem, error);
  return std::shared_ptr<SimulatedHost>(
      new SimulatedHostObject(std::make_unique<SimulatedHostImpl>(std::move(models), std::move(clock))));
}

std::shared_ptr<SimulatedHost> InstallSimulatedHost(const std::string& presetOrPath,
                                                    std::shared_ptr<Clock> clock,
                                                    std::string* error) {
  std::string problem;
  auto host = SimulatedHost::Create(presetOrPath, std::move(clock), &problem);
  if (error != nullptr) *error = problem;
  if (!problem.empty()) return nullptr;
  InstallHost(host);
  InstallServices(host);
  return host;
}

std::shared_ptr<SimulatedHost> SimulatedHost::CreateFromJson(const std::string& jsonText,
                                                             const std::string& sourceName,
                                                             std::shared_ptr<Clock> clock,
                                                             std::string* error) {
  std::string problem;
  auto models = LoadDeviceModelsFromJson(jsonText, sourceName, &problem);
  Report(problem, error);
  return std::shared_ptr<SimulatedHost>(
      new SimulatedHostObject(std::make_unique<SimulatedHostImpl>(std::move(models), std::move(clock))));
}

bool SimulatedHostObject::EnumerateInterfaces(std::vector<std::string>* paths) {
  if (paths == nullptr) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  paths->clear();
  for (const SimInterface& i : impl_->interfaces_) {
    if (i.model->Present()) paths->push_back(i.path);
  }
  return true;
}

std::unique_ptr<Device> SimulatedHostObject::Open(const std::string& path, Access access) {
  for (const SimInterface& i : impl_->interfaces_) {
    if (i.path != path) continue;
    if (!i.model->Present()) {
      SetLastError(kErrorDeviceNotConnected);
      return nullptr;
    }
    if (!i.model->definition().openable) {
      SetLastError(kErrorAccessDenied);
      return nullptr;
    }
    return std::make_unique<SimInterfaceDevice>(i.model, i.collection, i.path, access,
                                                impl_->state_);
  }
  SetLastError(kErrorFileNotFound);
  return nullptr;
}

Clock& SimulatedHostObject::clock() { return *impl_->clock_; }

void SimulatedHostObject::SetKeyboardSink(KeyboardSink sink) { impl_->state_->SetKeyboardSink(std::move(sink)); }

bool SimulatedHostObject::StartProgram(const std::string& name) {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex_);
    if (impl_->recordStarts_) {
      impl_->starts_.push_back(name);
      if (!impl_->startResult_) SetLastError(kErrorFileNotFound);
      return impl_->startResult_;
    }
  }
  return impl_->Os().StartProgram(name);
}

bool SimulatedHostObject::CapsLockOn() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex_);
    if (impl_->capsLock_) return *impl_->capsLock_;
    if (impl_->recordStarts_) return false;
  }
  // A live host (the demo) follows the real keyboard until told otherwise.
  return impl_->Os().CapsLockOn();
}

std::vector<std::string> SimulatedHostObject::Transcript() const { return impl_->state_->Transcript(); }

void SimulatedHostObject::ClearTranscript() { impl_->state_->ClearTranscript(); }

void SimulatedHostObject::SetCapsLock(bool on) {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  impl_->capsLock_ = on;
}

void SimulatedHostObject::SetRecordProgramStarts(bool record, bool result) {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  impl_->recordStarts_ = record;
  impl_->startResult_ = result;
}

std::vector<std::string> SimulatedHostObject::ProgramStarts() const {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  return impl_->starts_;
}

}  // namespace hidhost::sim
