// Cost of the reader link beyond its fixed waits.
//
// ExchangeRealTime: one full exchange with the simulated reader on the real
// clock: the 50 ms lead, the frame, 300 ms, 100 reads with 10 ms after each.
// The counter overhead_ms is the wall time less those 1350 ms; of that,
// oversleep_ms is what the operating system added to the sleeps (it grows
// with the machine's load) and work_ms the time spent outside the sleeps.
//
// DetectionScan: one detection scan of the 100 positions on a simulated host
// with 16 interfaces, in virtual time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "hidhost/sim.h"
#include "reader_link/command_codec.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"

namespace {

using readerlink::ReaderDevice;

constexpr double kFixedWaitMs = readerlink::kExchangeLeadMs + readerlink::kAnswerWaitMs +
                                readerlink::kPollReads * readerlink::kPollWaitMs;

// The real clock, counting the time its sleeps really took.
class MeasuringClock : public hidhost::Clock {
 public:
  uint64_t NowMs() const override { return real_->NowMs(); }
  void SleepMs(uint32_t ms) override {
    const auto start = std::chrono::steady_clock::now();
    real_->SleepMs(ms);
    slept_ += std::chrono::steady_clock::now() - start;
  }
  double TakeSleptMs() {
    const double ms = std::chrono::duration<double, std::milli>(slept_).count();
    slept_ = {};
    return ms;
  }

 private:
  std::shared_ptr<hidhost::Clock> real_ = hidhost::MakeRealClock();
  std::chrono::steady_clock::duration slept_{};
};

// The first position that holds a reader interface with a feature report
// (the configuration interface, not the keyboard one), or -1.
int32_t FirstConfigurationInterface() {
  for (int32_t index = 0; index < readerlink::kScanPositions; ++index) {
    ReaderDevice probe;
    readerlink::InterfaceKind kind{};
    if (!probe.ProbeInterface(&kind, index, nullptr) || kind != readerlink::InterfaceKind::Reader ||
        !probe.OpenByIndex(index))
      continue;
    hid::HIDP_CAPS caps{};
    if (hid::HidP_GetCaps(probe.GetHandle()->GetPreparsedData().get(), &caps) ==
            hid::HIDP_STATUS_SUCCESS &&
        caps.FeatureReportByteLength >= 2)
      return index;
  }
  return -1;
}

void ExchangeRealTime(benchmark::State& state) {
  std::string error;
  auto clock = std::make_shared<MeasuringClock>();
  auto host = hidhost::sim::SimulatedHost::Create("reader", clock, &error);
  hidhost::InstallHost(host);
  const int32_t index = FirstConfigurationInterface();
  if (index < 0) {
    state.SkipWithError(("no simulated reader: " + error).c_str());
    return;
  }
  const uint8_t command[] = {0x52, 0x24};
  const std::vector<uint8_t> frame = readerlink::BuildHexFrame(command);
  double overheadMs = 0, oversleepMs = 0, workMs = 0;
  std::vector<uint8_t> answer;
  for (auto _ : state) {
    clock->TakeSleptMs();
    const auto start = std::chrono::steady_clock::now();
    ReaderDevice device;
    device.OpenByIndex(index);
    hidhost::SleepMs(readerlink::kExchangeLeadMs);
    answer = device.Exchange(frame).answer;
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    const double slept = clock->TakeSleptMs();
    overheadMs += wall.count() - kFixedWaitMs;
    oversleepMs += slept - kFixedWaitMs;
    workMs += wall.count() - slept;
  }
  if (answer.empty()) state.SkipWithError("the simulated reader gave no answer");
  const double n = double(state.iterations());
  state.counters["overhead_ms"] = overheadMs / n;
  state.counters["oversleep_ms"] = oversleepMs / n;
  state.counters["work_ms"] = workMs / n;
}
BENCHMARK(ExchangeRealTime)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void DetectionScan(benchmark::State& state) {
  const std::string file = std::string(SUITE_BENCH_DATA_DIR) + "/sixteen_interfaces.json";
  std::string error;
  auto host = hidhost::sim::SimulatedHost::Create(
      file, std::make_shared<hidhost::sim::VirtualClock>(), &error);
  hidhost::InstallHost(host);
  std::vector<std::string> paths;
  if (!host->EnumerateInterfaces(&paths) || paths.size() != 16) {
    state.SkipWithError(("the host does not show 16 interfaces: " + error).c_str());
    return;
  }
  int found = 0;
  for (auto _ : state) {
    found = readerlink::ScanForReaders({});
    benchmark::DoNotOptimize(found);
  }
  state.counters["readers"] = found;
}
BENCHMARK(DetectionScan)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
