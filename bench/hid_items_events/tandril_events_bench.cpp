// Tandril's event worker on a simulated device with 32 input items over 4
// report IDs: reports decoded per second, and the latency from a report's
// delivery to the callback of its first event.
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

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Latency of the first event of each report, from `since` (the delivery).
struct LatencyProbe {
  std::atomic<int64_t> since{0};
  int64_t lastSince = 0;
  std::vector<int64_t> latenciesNs;  // worker's thread only until it is stopped

  void Record() {
    const int64_t now = NowNs();
    const int64_t delivered = since.load(std::memory_order_acquire);
    if (delivered != lastSince && latenciesNs.size() < latenciesNs.capacity()) {
      lastSince = delivered;
      latenciesNs.push_back(now - delivered);
    }
  }
  void Report(benchmark::State& state) {
    std::vector<int64_t>& l = latenciesNs;
    if (l.empty()) return;
    const auto at = [&](size_t k) {
      std::nth_element(l.begin(), l.begin() + static_cast<ptrdiff_t>(k), l.end());
      return static_cast<double>(l[k]) / 1000.0;
    };
    state.counters["latency_median_us"] = at(l.size() / 2);
    state.counters["latency_p99_us"] = at(l.size() * 99 / 100);
  }
};

// The simulated device behind a gate, opened, with the worker running.
struct Bench {
  explicit Bench(bool open) {
    auto clock = std::make_shared<hidhost::sim::VirtualClock>();
    std::string error;
    sim = hidhost::sim::SimulatedHost::CreateFromJson(tandril_test::DeviceJson({BenchDevice()}),
                                                      "bench", clock, &error);
    if (!sim || !error.empty()) return;
    gate = std::make_shared<GatedHost>(sim, open);
    hidhost::InstallHost(gate);
    device = OpenHIDDevice(0);
  }
  ~Bench() {
    if (device) CloseHIDDevice(device);
    if (sim) hidhost::InstallHost(sim);
  }
  bool Start(EventCallback callback) {
    probe.latenciesNs.reserve(4'000'000);
    return device && SetEventNotificationMask(device, 0xFF) &&
           SetEventHandler(device, callback, reinterpret_cast<uintptr_t>(this));
  }

  std::shared_ptr<hidhost::sim::SimulatedHost> sim;
  std::shared_ptr<GatedHost> gate;
  uint32_t device = 0;
  LatencyProbe probe;
};

// Reports arrive as fast as the worker reads them: decoding throughput, and
// the latency from the read handing a report over to its first callback.
int32_t TANDRIL_CALL OnStreamEvent(uintptr_t context, uint32_t) {
  auto& b = *reinterpret_cast<Bench*>(context);
  b.probe.since.store(b.gate->LastDeliveryNs(), std::memory_order_relaxed);
  b.probe.Record();
  return 0;
}

void BM_EventStream(benchmark::State& state) {
  constexpr int kReportsPerIteration = 20000;
  Bench b(true);
  if (!b.Start(OnStreamEvent)) {
    state.SkipWithError("cannot open the simulated device");
    return;
  }
  int target = b.gate->ReadsStarted();
  int64_t reports = 0;
  for (auto _ : state) {
    target += kReportsPerIteration;
    if (!b.gate->WaitForReads(target)) {
      state.SkipWithError("the worker stalled");
      break;
    }
    reports += kReportsPerIteration;
  }
  CloseHIDDevice(b.device);
  b.device = 0;
  state.counters["reports_per_s"] =
      benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kIsRate);
  b.probe.Report(state);
}
BENCHMARK(BM_EventStream)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One report at a time to a worker blocked in its read: the latency from
// the report's release to its first callback, the worker's wake-up included.
int32_t TANDRIL_CALL OnReleasedEvent(uintptr_t context, uint32_t) {
  reinterpret_cast<Bench*>(context)->probe.Record();
  return 0;
}

void BM_EventAfterBlockedRead(benchmark::State& state) {
  Bench b(false);
  if (!b.Start(OnReleasedEvent) || !b.gate->WaitForReads(1)) {
    state.SkipWithError("cannot open the simulated device");
    return;
  }
  int reads = 1;
  for (auto _ : state) {
    b.probe.since.store(NowNs(), std::memory_order_release);
    b.gate->Release();
    if (!b.gate->WaitForReads(++reads)) {
      state.SkipWithError("the worker stalled");
      break;
    }
  }
  CloseHIDDevice(b.device);
  b.device = 0;
  b.probe.Report(state);
}
BENCHMARK(BM_EventAfterBlockedRead)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
