// The process's host and system services: chosen once from the environment,
// replaceable by tests.
#include <cstdlib>
#include <mutex>

#include "hidhost/host.h"
#include "hidhost/os_host.h"
#include "hidhost/sim.h"
#include "hidhost/system_services.h"

namespace hidhost {

Clock::~Clock() = default;
Device::~Device() = default;
Host::~Host() = default;
SystemServices::~SystemServices() = default;

namespace {

std::mutex g_mutex;
std::shared_ptr<Host> g_host;
std::shared_ptr<SystemServices> g_services;

bool SimulationRequested() {
  const char* simulation = std::getenv("HID_SIMULATION");
  return simulation != nullptr && simulation[0] != '\0';
}

// Fills whichever of host and services is still unchosen. With HID_SIMULATION
// set, both are the one simulated host: the demo and hand testing, with
// devices in memory, real time and real program starts (Pelorin's Launch
// button must start its sibling program).
void ChooseLocked() {
  std::shared_ptr<sim::SimulatedHost> live;
  if (SimulationRequested()) {
    live = std::dynamic_pointer_cast<sim::SimulatedHost>(g_host);
    if (!live) {
      live = sim::SimulatedHost::Create(std::getenv("HID_SIMULATION"), MakeRealClock());
      live->SetRecordProgramStarts(false);
    }
  }
  if (!g_host) g_host = live ? std::shared_ptr<Host>(live) : MakeOsHost();
  if (!g_services) g_services = live ? std::shared_ptr<SystemServices>(live) : MakeOsServices();
}

std::shared_ptr<Host> SharedCurrentHost() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_host) ChooseLocked();
  return g_host;
}

}  // namespace

Host& CurrentHost() { return *SharedCurrentHost(); }

SystemServices& CurrentServices() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_services) ChooseLocked();
  return *g_services;
}

void InstallHost(std::shared_ptr<Host> host) {
  std::shared_ptr<Host> old;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    old = std::move(g_host);
    g_host = std::move(host);
  }
  // The old host is released outside the lock: its destructor may take time.
}

void InstallServices(std::shared_ptr<SystemServices> services) {
  std::shared_ptr<SystemServices> old;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    old = std::move(g_services);
    g_services = std::move(services);
  }
}

uint64_t NowMs() { return CurrentHost().clock().NowMs(); }

void SleepMs(uint32_t ms) { CurrentHost().clock().SleepMs(ms); }

}  // namespace hidhost
