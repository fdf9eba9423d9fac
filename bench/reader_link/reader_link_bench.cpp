// Cost of the reader link beyond its fixed waits.
//
// ExchangeRealTime: one full exchange with the simulated reader on the real
// clock: the 50 ms lead, the frame, 300 ms, 100 reads with 10 ms after each.
// The counter overhead_ms is the wall time less those 1350 ms.
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

// The first position that holds a reader, or -1.
int32_t FirstReader() {
  ReaderDevice probe;
  for (int32_t index = 0; index < readerlink::kScanPositions; ++index) {
    int32_t kind = 0;
    if (probe.ProbeInterface(&kind, index, nullptr) && kind == readerlink::kKindReader &&
        probe.OpenByIndex(index))
      return index;
  }
  return -1;
}

void ExchangeRealTime(benchmark::State& state) {
  std::string error;
  auto host = hidhost::sim::SimulatedHost::Create("reader", hidhost::sim::MakeRealClock(), &error);
  hidhost::InstallHost(host);
  const int32_t index = FirstReader();
  if (index < 0) {
    state.SkipWithError(("no simulated reader: " + error).c_str());
    return;
  }
  const uint8_t command[] = {0x52, 0x24};
  const std::vector<uint8_t> frame = readerlink::BuildHexFrame(command);
  double overheadMs = 0;
  std::string text;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ReaderDevice device;
    device.OpenByIndex(index);
    hidhost::SleepMs(readerlink::kExchangeLeadMs);
    device.ExchangeAsText(frame.data(), int32_t(frame.size()), &text);
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    overheadMs += wall.count() - kFixedWaitMs;
  }
  if (text.empty()) state.SkipWithError("the simulated reader gave no answer");
  state.counters["overhead_ms"] = benchmark::Counter(overheadMs / double(state.iterations()));
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
    ReaderDevice device;
    found = readerlink::ScanForReaders(device, [](ReaderDevice&, int32_t) {});
    benchmark::DoNotOptimize(found);
  }
  state.counters["readers"] = found;
}
BENCHMARK(DetectionScan)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
