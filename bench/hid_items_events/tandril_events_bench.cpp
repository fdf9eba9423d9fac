// Tandril's event worker with a simulated device that delivers input reports
// as fast as it is read: reports decoded per second, and the latency from the
// read handing a report over to the callback of its first event.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "descriptor_builder.h"
#include "gated_host.h"
#include "hidhost/sim.h"
#include "sim_json.h"
#include "tandril.h"

namespace {

using tandril_test::Descriptor;
using tandril_test::GatedHost;

constexpr int kReportIds = 4;
constexpr uint8_t kEventUsages[] = {0xD0, 0x42, 0x44, 0x45, 0x69, 0x64, 0x73};

// Four input reports of 8 items each: four 8-bit and 16-bit values, then
// four buttons with event usages. 32 input items in all.
tandril_test::SimDevice BenchDevice() {
  Descriptor d;
  d.UsagePage(0x84).Usage(0x04).Collection(0x01);
  for (int r = 0; r < kReportIds; ++r) {
    d.ReportId(1 + r).UsagePage(0x85);
    d.Field(8, 1, 0, 255).Usage(0x66).Input().Usage(0x67).Input();
    d.Field(16, 1, 0, 0xFFFF).Usage(0x68).Input().Usage(0x6A).Input();
    d.UsagePage(0x84).Field(1, 1, 0, 1);
    for (int b = 0; b < 4; ++b) d.Usage(kEventUsages[(r + b) % 7]).Input();
    d.ReportCount(4).Input(tandril_test::kConst);
  }
  d.EndCollection();

  tandril_test::SimDevice device;
  device.descriptor = d.bytes();
  // Every report flips its buttons, so every report raises events.
  for (int round = 0; round < 2; ++round) {
    for (int r = 0; r < kReportIds; ++r) {
      const auto v = static_cast<uint8_t>(round * 50 + r);
      device.inputs.push_back(
          {1, {static_cast<uint8_t>(1 + r), v, v, v, 0, v, 0, static_cast<uint8_t>(round ? 0 : 0x0F)}});
    }
  }
  device.repeatInputs = true;
  return device;
}

struct LatencyProbe {
  GatedHost* gate = nullptr;
  int64_t lastDelivery = 0;
  std::vector<int64_t> latenciesNs;  // worker's thread only until it is stopped
};

int32_t TANDRIL_CALL OnEvent(uintptr_t context, uint32_t) {
  auto& probe = *reinterpret_cast<LatencyProbe*>(context);
  const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
  const int64_t delivered = probe.gate->LastDeliveryNs();
  if (delivered != probe.lastDelivery && probe.latenciesNs.size() < probe.latenciesNs.capacity()) {
    probe.lastDelivery = delivered;  // the first event of this report
    probe.latenciesNs.push_back(now - delivered);
  }
  return 0;
}

void BM_EventWorker(benchmark::State& state) {
  constexpr int kReportsPerIteration = 20000;
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  auto sim = hidhost::sim::SimulatedHost::CreateFromJson(
      tandril_test::DeviceJson({BenchDevice()}), "bench", clock, &error);
  if (!sim || !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  auto gate = std::make_shared<GatedHost>(sim, true);
  hidhost::InstallHost(gate);
  const uint32_t device = OpenHIDDevice(0);
  if (!device) {
    state.SkipWithError("cannot open the simulated device");
    return;
  }
  LatencyProbe probe;
  probe.gate = gate.get();
  probe.latenciesNs.reserve(4'000'000);
  SetEventNotificationMask(device, 0xFF);
  SetEventHandler(device, OnEvent, reinterpret_cast<uintptr_t>(&probe));

  int target = gate->ReadsStarted();
  int64_t reports = 0;
  for (auto _ : state) {
    target += kReportsPerIteration;
    if (!gate->WaitForReads(target)) {
      state.SkipWithError("the worker stalled");
      break;
    }
    reports += kReportsPerIteration;
  }
  CloseHIDDevice(device);
  hidhost::InstallHost(sim);

  state.counters["reports_per_s"] = benchmark::Counter(static_cast<double>(reports),
                                                       benchmark::Counter::kIsRate);
  std::vector<int64_t>& l = probe.latenciesNs;
  if (!l.empty()) {
    std::nth_element(l.begin(), l.begin() + static_cast<ptrdiff_t>(l.size() / 2), l.end());
    state.counters["latency_median_us"] = static_cast<double>(l[l.size() / 2]) / 1000.0;
    std::nth_element(l.begin(), l.begin() + static_cast<ptrdiff_t>(l.size() * 99 / 100), l.end());
    state.counters["latency_p99_us"] = static_cast<double>(l[l.size() * 99 / 100]) / 1000.0;
  }
}
BENCHMARK(BM_EventWorker)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
