// MakeOsHost(): the hidraw backend.
#include "hidhost/os_host.h"

#include <chrono>
#include <thread>

namespace hidhost {

namespace {

class SteadyClock : public Clock {
 public:
  uint64_t NowMs() const override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// First cut: no devices yet; the hidraw enumeration lands next.
class HidrawHost : public Host {
 public:
  bool EnumerateInterfaces(std::vector<std::string>* paths) override {
    paths->clear();
    return true;
  }
  std::unique_ptr<Device> Open(const std::string&, Access) override {
    SetLastError(kErrorFileNotFound);
    return nullptr;
  }
  Clock& clock() override { return clock_; }
  void SetKeyboardSink(KeyboardSink) override {}
  bool StartProgram(const std::string&) override {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  bool CapsLockOn() override { return false; }

 private:
  SteadyClock clock_;
};

}  // namespace

std::shared_ptr<Host> MakeOsHost() { return std::make_shared<HidrawHost>(); }

}  // namespace hidhost
