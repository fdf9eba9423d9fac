// The process's host: chosen once from the environment, replaceable by tests.
#include <cstdlib>
#include <mutex>

#include "hidhost/host.h"
#include "hidhost/os_host.h"
#include "hidhost/sim.h"

namespace hidhost {

Clock::~Clock() = default;
Device::~Device() = default;
Host::~Host() = default;

namespace {

std::mutex g_hostMutex;
std::shared_ptr<Host> g_host;

std::shared_ptr<Host> HostFromEnvironment() {
  const char* simulation = std::getenv("HID_SIMULATION");
  if (simulation != nullptr && simulation[0] != '\0') {
    // The demo and hand testing: devices in memory, real time, real program
    // starts (Pelorin's Launch button must start its sibling program).
    auto host = sim::SimulatedHost::Create(simulation, sim::MakeRealClock());
    host->SetRecordProgramStarts(false);
    return host;
  }
  return MakeOsHost();
}

}  // namespace

Host& CurrentHost() { return *SharedCurrentHost(); }

std::shared_ptr<Host> SharedCurrentHost() {
  std::lock_guard<std::mutex> lock(g_hostMutex);
  if (!g_host) g_host = HostFromEnvironment();
  return g_host;
}

void InstallHost(std::shared_ptr<Host> host) {
  std::shared_ptr<Host> old;
  {
    std::lock_guard<std::mutex> lock(g_hostMutex);
    old = std::move(g_host);
    g_host = std::move(host);
  }
  // The old host is released outside the lock: its destructor may take time.
}

uint64_t NowMs() { return CurrentHost().clock().NowMs(); }

void SleepMs(uint32_t ms) { CurrentHost().clock().SleepMs(ms); }

}  // namespace hidhost
