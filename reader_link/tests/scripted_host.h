// A host whose interfaces follow a script, for counting every feature-report
// call and choosing each answer exactly. Time is a VirtualClock.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/sim.h"
#include "reader_link/reader_device.h"

namespace readerlink::testing {

struct ScriptedInterface {
  std::string path;
  uint16_t vendor = kReaderVendorId;
  uint16_t product = kCurrentReaderProductId;
  uint16_t payload = 8;        // feature report length less one; 0: no feature report
  bool hasModel = true;        // false: no report model, so the object cannot open it
  std::vector<bool> writes;    // SetFeature results in call order; true once used up
  std::map<uint32_t, std::vector<uint8_t>> answers;  // GetFeature call (1-based) -> data
  bool readsFail = false;

  // What happened.
  int opens = 0;               // Open calls, probes included
  hidhost::Access lastAccess = hidhost::Access::Query;
  std::vector<std::vector<uint8_t>> written;  // every SetFeature report, refused ones too
  uint32_t reads = 0;
};

class ScriptedHost : public hidhost::Host {
 public:
  explicit ScriptedHost(std::vector<ScriptedInterface> interfaces);

  ScriptedInterface& at(size_t i) { return *interfaces_[i]; }
  hidhost::sim::VirtualClock& virtualClock() { return *clock_; }

  bool EnumerateInterfaces(std::vector<std::string>* paths) override;
  std::unique_ptr<hidhost::Device> Open(const std::string& path, hidhost::Access access) override;
  hidhost::Clock& clock() override { return *clock_; }

  int enumerations = 0;  // EnumerateInterfaces calls so far

 private:
  std::vector<std::shared_ptr<ScriptedInterface>> interfaces_;
  std::shared_ptr<hidhost::sim::VirtualClock> clock_;
};

// Builds a host of `interfaces` (paths default to "scripted/<position>") and
// makes it the process's host.
std::shared_ptr<ScriptedHost> InstallScriptedHost(std::vector<ScriptedInterface> interfaces);

}  // namespace readerlink::testing
