// Virtual time for tests: sleeping moves the clock forward at once.
#include "hidhost/sim.h"

namespace hidhost::sim {

uint64_t VirtualClock::NowMs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

void VirtualClock::SleepMs(uint32_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ += ms;
  sleeps_.push_back(ms);
}

void VirtualClock::AdvanceMs(uint64_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ += ms;
}

void VirtualClock::AdvanceTo(uint64_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ms > now_) now_ = ms;
}

std::vector<uint32_t> VirtualClock::Sleeps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sleeps_;
}

void VirtualClock::ClearSleeps() {
  std::lock_guard<std::mutex> lock(mutex_);
  sleeps_.clear();
}

}  // namespace hidhost::sim
