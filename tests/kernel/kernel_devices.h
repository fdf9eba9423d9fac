// Simulated devices on the real kernel: hid-emulate started as a child
// process, with the hidraw nodes it reports. The tests that use it need
// /dev/uhid and root (tools/test-vm.sh runs them so in a virtual machine);
// elsewhere they skip.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kernel_test {

// Why the kernel tests cannot run here, or "" when they can.
std::string WhyNoKernel();

#define REQUIRE_KERNEL()                                     \
  do {                                                       \
    const std::string whyNot = ::kernel_test::WhyNoKernel(); \
    if (!whyNot.empty()) GTEST_SKIP() << whyNot;             \
  } while (0)

struct EmulatedInterface {
  uint16_t vendorId = 0, productId = 0;
  size_t index = 0;
  std::string node;  // "/dev/hidraw3"
};

class KernelDevices {
 public:
  KernelDevices() = default;
  ~KernelDevices();  // ends hid-emulate if it still runs
  KernelDevices(const KernelDevices&) = delete;
  KernelDevices& operator=(const KernelDevices&) = delete;

  // Starts hid-emulate with a preset name or JSON text (written to a file)
  // and waits up to 20 s for `count` interfaces to report their nodes.
  bool Start(const std::string& presetOrJson, size_t count);

  const std::vector<EmulatedInterface>& interfaces() const { return interfaces_; }
  const std::string& node(size_t i) const { return interfaces_.at(i).node; }
  pid_t pid() const { return pid_; }
  // A file beside the device file, for transcripts.
  std::string TempPath(const std::string& name) const;

  // Waits up to `timeoutMs` for hid-emulate to print `line` (also true when
  // it came while Start waited for the nodes).
  bool WaitForLine(const std::string& line, int timeoutMs);

  // Sends `signal`; for SIGTERM and SIGKILL waits up to 10 s for the end.
  // The exit status, or -1 when it did not end in time.
  int Signal(int signal);

 private:
  // The next line hid-emulate prints, or false after `untilMs`.
  bool ReadLine(uint64_t untilMs, std::string* line);

  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
  std::vector<std::string> otherLines_;  // lines Start read that name no node
  std::string dir_;
  std::vector<EmulatedInterface> interfaces_;
};

// A program of the build tree (beside the test's own executable).
std::string BuildProgram(const std::string& name);

// Runs a program with arguments and the simulation setting cleared, for at
// most `timeoutMs`; its standard output and exit status (-1 on timeout).
int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs = 60000);

}  // namespace kernel_test
