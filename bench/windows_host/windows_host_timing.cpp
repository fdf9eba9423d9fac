// What the Windows host costs Pelorin's reader detection, on the system's
// own DLLs, timed by the host clock:
//   enumerate    one EnumerateInterfaces on a host in use
//   new host     a host made, its first EnumerateInterfaces, the host freed:
//                one full read of the interface list and the start and end
//                of the host's watch on interfaces that come and go
//   tick         one detection tick: the scan of the reader interfaces and
//                the open of each reader found
//   positions    the walk of the 100 scan positions with ProbeInterface, as
//                the older callers make it: one enumeration per position
// The calls each run made to the host are counted.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/errors.h"
#include "hidhost/host.h"
#include "hidhost/os_host.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_link.h"
#include "reader_link/reader_scan.h"

namespace {

// The system's host, counting the calls made to it.
class CountingHost : public hidhost::Host {
 public:
  explicit CountingHost(std::shared_ptr<hidhost::Host> inner) : inner_(std::move(inner)) {}
  bool EnumerateInterfaces(std::vector<std::string>* paths) override {
    ++enumerations;
    return inner_->EnumerateInterfaces(paths);
  }
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override {
    ++opens;
    return inner_->Open(path, access);
  }
  hidhost::Clock& clock() override { return inner_->clock(); }

  uint64_t enumerations = 0;
  uint64_t opens = 0;

 private:
  std::shared_ptr<hidhost::Host> inner_;
};

// The machine may be shared, so the runs go in blocks of at least 50 ms and
// the figure is the median block's mean, beside the fastest block's.
template <class Body>
void Report(const char* name, uint64_t budgetMs, CountingHost& host, Body&& body) {
  constexpr uint64_t kBlockMs = 50;
  hidhost::Clock& clock = host.clock();
  host.enumerations = host.opens = 0;
  std::vector<double> blocks;
  uint64_t runs = 0;
  for (const uint64_t start = clock.NowMs(); clock.NowMs() - start < budgetMs || blocks.size() < 3;) {
    const uint64_t blockStart = clock.NowMs();
    uint64_t blockRuns = 0;
    uint64_t now = blockStart;
    do {
      body();
      ++blockRuns;
      now = clock.NowMs();
    } while (now - blockStart < kBlockMs);
    blocks.push_back(double(now - blockStart) * 1000.0 / double(blockRuns));
    runs += blockRuns;
  }
  std::sort(blocks.begin(), blocks.end());
  std::printf("%-10s %12.1f us/run (fastest block %10.1f)  %7llu runs  %5.1f enumerations/run  %4.1f opens/run\n",
              name, blocks[blocks.size() / 2], blocks.front(), static_cast<unsigned long long>(runs),
              double(host.enumerations) / double(runs), double(host.opens) / double(runs));
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t budgetMs = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2000;
  auto host = std::make_shared<CountingHost>(hidhost::MakeOsHost());
  hidhost::InstallHost(host);

  std::vector<std::string> paths;
  if (!host->EnumerateInterfaces(&paths)) {
    std::fprintf(stderr, "the host cannot list its interfaces: error %u\n", hidhost::GetLastError());
    return 1;
  }
  std::printf("%zu interfaces, %zu reader interfaces; %llu ms per figure\n", paths.size(),
              readerlink::ScanReaders().size(), static_cast<unsigned long long>(budgetMs));

  Report("enumerate", budgetMs, *host, [&] { host->EnumerateInterfaces(&paths); });
  Report("new host", budgetMs, *host, [&] {
    ++host->enumerations;
    hidhost::MakeOsHost()->EnumerateInterfaces(&paths);
  });
  Report("tick", budgetMs, *host, [] { readerlink::ScanForReaders({}); });
  Report("positions", budgetMs, *host, [] {
    for (int32_t index = 0; index < readerlink::kScanPositions; ++index) {
      readerlink::ReaderDevice probe;
      readerlink::InterfaceKind kind{};
      probe.ProbeInterface(&kind, index, nullptr);
    }
  });
  return 0;
}
