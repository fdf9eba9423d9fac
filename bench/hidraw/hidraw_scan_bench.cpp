// The cost of one reader-detection scan on the hidraw backend: positions 0
// to 99, each probe listing the present interfaces and, where there is one
// at that position, opening it for queries and reading its attributes. The
// emulated tree holds 16 interfaces, one of them a reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "emulated_tree.h"
#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "hidhost/os_host.h"
#include "reader_link/reader_device.h"

namespace {

using hidhost::hidraw::testing::EmulatedTree;
using hidhost::hidraw::testing::NodeSetup;

constexpr int kPositions = 100;
constexpr uint32_t kInterfaces = 16;

struct Fixture {
  std::unique_ptr<EmulatedTree> tree;
  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<hidhost::Host> host;
};

Fixture& Shared() {
  static Fixture fixture = [] {
    Fixture f;
    std::string whyNot;
    f.tree = EmulatedTree::Mount(&whyNot, 3600);
    if (!f.tree) {
      std::fprintf(stderr, "bench_hidraw_scan: %s\n", whyNot.c_str());
      std::exit(77);
    }
    f.clock = std::make_shared<hidhost::sim::VirtualClock>();
    std::string error;
    // The reader's configuration interface at node 5; UPS units and plain
    // keyboards of another vendor everywhere else.
    auto reader = hidhost::sim::LoadDeviceModels("reader", &error).at(1);
    for (uint32_t minor = 0; minor < kInterfaces; ++minor) {
      NodeSetup setup;
      setup.minor = minor;
      if (minor == 5) {
        setup.model = reader;
      } else if (minor % 2 == 1) {
        setup.model = hidhost::sim::LoadDeviceModels("ups", &error).at(0);
      } else {
        auto keyboard = hidhost::sim::LoadDeviceModels("legacy-reader", &error).at(1)->definition();
        keyboard.attributes.VendorID = 0x1234;
        hidhost::sim::ValidateDeviceDefinition(&keyboard);
        setup.model = std::make_shared<hidhost::sim::DeviceModel>(keyboard);
      }
      setup.model->Attach(f.clock, {});
      f.tree->AddNode(setup);
    }
    f.host = hidhost::MakeHidrawHost(f.clock, f.tree->sysRoot(), f.tree->devRoot());
    return f;
  }();
  return fixture;
}

void BM_DetectionScan(benchmark::State& state) {
  auto& host = *Shared().host;
  std::vector<std::string> paths;
  for (auto _ : state) {
    int opened = 0;
    for (int position = 0; position < kPositions; ++position) {
      if (!host.EnumerateInterfaces(&paths) || static_cast<size_t>(position) >= paths.size()) {
        continue;
      }
      auto device = host.Open(paths[position], hidhost::Access::Query);
      hidhost::Attributes attributes;
      if (device && device->GetAttributes(&attributes)) ++opened;
    }
    if (opened != static_cast<int>(kInterfaces)) state.SkipWithError("an interface did not open");
  }
}
BENCHMARK(BM_DetectionScan)->Unit(benchmark::kMicrosecond);

// The same scan as the utility runs it, through the reader link's probe.
void BM_ReaderLinkProbeScan(benchmark::State& state) {
  hidhost::InstallHost(Shared().host);
  readerlink::ReaderDevice device;
  for (auto _ : state) {
    int readers = 0;
    for (int position = 0; position < kPositions; ++position) {
      readerlink::InterfaceKind kind{};
      if (device.ProbeInterface(&kind, position, nullptr) && kind == readerlink::InterfaceKind::Reader) {
        ++readers;
      }
    }
    if (readers != 1) state.SkipWithError("the reader was not found once");
  }
  hidhost::InstallHost(nullptr);
}
BENCHMARK(BM_ReaderLinkProbeScan)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
