// Parser costs per descriptor of the test data (one case per file, with
// the heap allocations of one parse), and parser and field-access costs on
// a large descriptor: 30 reports, each with a logical collection of 16
// vendor values and 32 buttons, plus a feature value array (about 2 KB,
// 1500 fields). A descriptor declaring every report ID, one after another,
// in each report type shows any per-report search in the parser.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "descriptor_text.h"
#include "hidhost/hidp.h"

// Every allocation of the program is counted, so that a case can report the
// allocations one parse makes.
namespace {
std::atomic<uint64_t> g_allocations{0};
}

// GCC takes the malloc/free pair inside replaced operators for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace hid;

void BM_ParseFile(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = g_allocations.load(std::memory_order_relaxed);
    ParseResult r = ParseReportDescriptor(bytes.data(), bytes.size());
    allocations = g_allocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(r);
  }
  state.counters["allocs"] = static_cast<double>(allocations);
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

// One case per descriptor file, named after the file.
const bool g_registered = [] {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(PARSER_DESCRIPTORS_DIR, ec)) {
    if (e.path().extension() == ".hex") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& f : files) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!LoadDescriptorFile(f.string(), &bytes, &error)) continue;
    benchmark::RegisterBenchmark(("BM_Parse/" + f.stem().string()).c_str(),
                                 [bytes](benchmark::State& state) { BM_ParseFile(state, bytes); });
  }
  return true;
}();

constexpr int kReports = 30;

std::vector<uint8_t> LargeDescriptor() {
  std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x7F};
  for (int id = 1; id <= kReports; ++id) {
    d.insert(d.end(), {0x85, static_cast<uint8_t>(id), 0x09, static_cast<uint8_t>(0x80 + id), 0xA1, 0x02});
    for (int u = 0; u < 16; ++u) d.insert(d.end(), {0x09, static_cast<uint8_t>(0x20 + u)});
    d.insert(d.end(), {0x75, 0x10, 0x95, 0x10, 0x81, 0x02});                          // 16 values
    d.insert(d.end(), {0x05, 0x09, 0x19, 0x01, 0x29, 0x20, 0x75, 0x01, 0x95, 0x20, 0x81, 0x02});  // 32 buttons
    d.insert(d.end(), {0x06, 0x00, 0xFF, 0x09, 0x60, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02});        // feature array
    d.push_back(0xC0);
  }
  d.push_back(0xC0);
  return d;
}

const std::vector<uint8_t>& Descriptor() {
  static const std::vector<uint8_t> d = LargeDescriptor();
  return d;
}

PreparsedPtr Model() {
  static const PreparsedPtr pp = ParseReportDescriptor(Descriptor().data(), Descriptor().size()).collections.at(0);
  return pp;
}

std::vector<char> InputReport(uint8_t id) {
  HIDP_CAPS caps{};
  HidP_GetCaps(Model().get(), &caps);
  std::vector<char> report(caps.InputReportByteLength);
  report[0] = static_cast<char>(id);
  return report;
}

void BM_ParseLargeDescriptor(benchmark::State& state) {
  const auto& d = Descriptor();
  for (auto _ : state) {
    ParseResult r = ParseReportDescriptor(d.data(), d.size());
    benchmark::DoNotOptimize(r);
  }
  state.counters["bytes"] = static_cast<double>(d.size());
}
BENCHMARK(BM_ParseLargeDescriptor);

// 255 input, output and feature reports of one byte each: 765 reports, each
// new when its item is parsed.
std::vector<uint8_t> EveryReportId() {
  std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01};
  for (uint8_t tag : {0x81, 0x91, 0xB1}) {
    for (int id = 1; id <= 255; ++id) d.insert(d.end(), {0x85, static_cast<uint8_t>(id), 0x09, 0x02, tag, 0x02});
  }
  d.push_back(0xC0);
  return d;
}

void BM_ParseEveryReportId(benchmark::State& state) {
  static const std::vector<uint8_t> d = EveryReportId();
  for (auto _ : state) {
    ParseResult r = ParseReportDescriptor(d.data(), d.size());
    benchmark::DoNotOptimize(r);
  }
  state.counters["bytes"] = static_cast<double>(d.size());
}
BENCHMARK(BM_ParseEveryReportId);

void BM_GetUsageValue(benchmark::State& state) {
  const PreparsedPtr pp = Model();
  auto report = InputReport(17);
  ULONG value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(HidP_GetUsageValue(HidP_Input, 0xFF00, 0, 0x2B, &value, pp.get(), report.data(),
                                                static_cast<ULONG>(report.size())));
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_GetUsageValue);

void BM_SetUsageValue(benchmark::State& state) {
  const PreparsedPtr pp = Model();
  auto report = InputReport(17);
  ULONG value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(HidP_SetUsageValue(HidP_Input, 0xFF00, 0, 0x2B, ++value, pp.get(), report.data(),
                                                static_cast<ULONG>(report.size())));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SetUsageValue);

void BM_GetUsagesEx(benchmark::State& state) {
  const PreparsedPtr pp = Model();
  auto report = InputReport(17);
  report[33] = 0x41;  // buttons 1 and 7
  report[36] = static_cast<char>(0x80);  // button 32
  std::vector<USAGE_AND_PAGE> list(HidP_MaxUsageListLength(HidP_Input, 0, pp.get()));
  for (auto _ : state) {
    ULONG length = static_cast<ULONG>(list.size());
    benchmark::DoNotOptimize(HidP_GetUsagesEx(HidP_Input, 0, list.data(), &length, pp.get(), report.data(),
                                              static_cast<ULONG>(report.size())));
    benchmark::DoNotOptimize(length);
  }
}
BENCHMARK(BM_GetUsagesEx);

}  // namespace
