// The real clock: steady time and real sleeps.
#include <chrono>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "hidhost/host.h"

namespace hidhost {
namespace {

class RealClock : public Clock {
 public:
  uint64_t NowMs() const override {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void SleepMs(uint32_t ms) override {
#if defined(_WIN32)
    ::Sleep(ms);
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
  }
};

}  // namespace

std::shared_ptr<Clock> MakeRealClock() { return std::make_shared<RealClock>(); }

}  // namespace hidhost
