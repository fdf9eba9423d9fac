// Tandril on a large simulated device: open, listing, reads and writes, and
// the memory one open device holds.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "descriptor_builder.h"
#include "hidhost/sim.h"
#include "sim_json.h"
#include "tandril.h"

// Bytes allocated and not yet freed through operator new, in the whole
// process (the library's allocations included).
namespace {
std::atomic<long long> g_liveBytes{0};
}

void* operator new(std::size_t size) {
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (!block) throw std::bad_alloc();
  *block = size;
  g_liveBytes += static_cast<long long>(size);
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
  g_liveBytes -= static_cast<long long>(*block);
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using tandril_test::Descriptor;

constexpr int kCollections = 24;
constexpr int kValuesPerCollection = 12;
constexpr int kButtonsPerCollection = 4;

// 24 logical collections under one application collection, each with its
// own feature report of 12 values and 4 buttons, and an input report of the
// same shape: 384 feature and 384 input items.
std::string LargeDeviceJson() {
  Descriptor d;
  d.UsagePage(0xFF00).Usage(0x01).Collection(0x01);
  for (int c = 0; c < kCollections; ++c) {
    d.Usage(0x10 + c).Collection(0x02);
    for (uint32_t kind = 0; kind < 2; ++kind) {
      d.ReportId(1 + c + kind * kCollections).UsagePage(0xFF00).Field(16, 1, 0, 0x7FFF);
      for (int v = 0; v < kValuesPerCollection; ++v) {
        d.Usage(0x40 + v);
        if (kind == 0) d.Feature(); else d.Input();
      }
      d.UsagePage(0x09).Field(1, 1, 0, 1);
      for (int b = 0; b < kButtonsPerCollection; ++b) {
        d.Usage(1 + b);
        if (kind == 0) d.Feature(); else d.Input();
      }
      d.ReportSize(4);
      if (kind == 0) d.Feature(tandril_test::kConst); else d.Input(tandril_test::kConst);
    }
    d.EndCollection();
  }
  d.EndCollection();
  tandril_test::SimDevice device;
  device.descriptor = d.bytes();
  return tandril_test::DeviceJson({device});
}

void InstallLargeDevice() {
  static const bool installed = [] {
    std::string error;
    auto host = hidhost::sim::SimulatedHost::CreateFromJson(
        LargeDeviceJson(), "large device", std::make_shared<hidhost::sim::VirtualClock>(), &error);
    if (!host || !error.empty()) {
      std::fprintf(stderr, "cannot build the simulated device: %s\n", error.c_str());
      std::exit(1);
    }
    hidhost::InstallHost(host);
    return true;
  }();
  (void)installed;
}

// The path of a non-volatile feature value in the middle of the tree: the
// sixth value of the eighth collection.
std::string FeaturePath(uint32_t device) {
  char path[256];
  uint16_t size = sizeof path;
  ItemInfo info{};
  const int perCollection = 2 * (kValuesPerCollection + kButtonsPerCollection);
  if (!GetItemByIndex(device, static_cast<uint16_t>(7 * perCollection + 5), path, &size, &info)) {
    return "";
  }
  return path;
}

void BM_OpenHIDDevice(benchmark::State& state) {
  InstallLargeDevice();
  long long held = 0;
  for (auto _ : state) {
    const long long before = g_liveBytes.load();
    const uint32_t h = OpenHIDDevice(0);
    held = g_liveBytes.load() - before;
    if (h != 1) state.SkipWithError("open failed");
    state.PauseTiming();
    CloseHIDDevice(h);
    state.ResumeTiming();
  }
  state.counters["bytes_held"] = static_cast<double>(held);
}
BENCHMARK(BM_OpenHIDDevice)->Unit(benchmark::kMicrosecond);

void BM_ListEveryItem(benchmark::State& state) {
  InstallLargeDevice();
  const uint32_t h = OpenHIDDevice(0);
  size_t count = 0;
  for (auto _ : state) {
    count = 0;
    char path[256];
    ItemInfo info{};
    for (uint16_t i = 0;; ++i) {
      uint16_t size = sizeof path;
      if (!GetItemByIndex(h, i, path, &size, &info)) break;
      ++count;
    }
    benchmark::DoNotOptimize(count);
  }
  state.counters["items"] = static_cast<double>(count);
  CloseHIDDevice(h);
}
BENCHMARK(BM_ListEveryItem)->Unit(benchmark::kMicrosecond);

void BM_GetItemValueStored(benchmark::State& state) {
  InstallLargeDevice();
  const uint32_t h = OpenHIDDevice(0);
  const std::string path = FeaturePath(h);
  int32_t value = 0;
  if (!GetItemValue(h, path.c_str(), &value)) state.SkipWithError("read failed");
  for (auto _ : state) {
    GetItemValue(h, path.c_str(), &value);
    benchmark::DoNotOptimize(value);
  }
  CloseHIDDevice(h);
}
BENCHMARK(BM_GetItemValueStored);

void BM_SetItemValue(benchmark::State& state) {
  InstallLargeDevice();
  const uint32_t h = OpenHIDDevice(0);
  const std::string path = FeaturePath(h);
  int32_t value = 0;
  for (auto _ : state) {
    if (!SetItemValue(h, path.c_str(), ++value & 0x7FFF)) state.SkipWithError("write failed");
  }
  CloseHIDDevice(h);
}
BENCHMARK(BM_SetItemValue);

}  // namespace

BENCHMARK_MAIN();
