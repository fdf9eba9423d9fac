// hid-emulate [--seconds N] PRESET|FILE: shows simulated devices to the
// kernel as HID devices through /dev/uhid. See packaging/man/hid-emulate.1.
#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "emulator.h"

namespace {

constexpr const char* kUsage =
    "usage: hid-emulate [--seconds N] PRESET|FILE\n"
    "Shows the devices of a preset (reader, legacy-reader, both-readers, ups, none) or of a\n"
    "JSON device file to the kernel as HID devices through /dev/uhid, until Ctrl+C, SIGTERM\n"
    "or N seconds. Prints \"vendor:product interface N /dev/hidrawM\" for each interface.\n"
    "Needs root and the uhid module.\n";

bool ParseSeconds(const char* text, uint64_t* seconds) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || value > 365ull * 24 * 3600) return false;
  *seconds = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  hidhost::uhid::EmulatorOptions options;
  bool haveSource = false;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--seconds") {
      uint64_t seconds = 0;
      if (!ParseSeconds(a + 1 < argc ? argv[a + 1] : nullptr, &seconds)) {
        std::fprintf(stderr, "hid-emulate: --seconds takes a whole number of seconds\n");
        return 2;
      }
      options.seconds = seconds;
      ++a;
    } else if (!haveSource && (arg.empty() || arg[0] != '-')) {
      options.source = arg;
      haveSource = true;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (!haveSource) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  // SIGINT and SIGTERM end the run through the poll loop; blocked before any
  // thread starts, so that every thread leaves them to the signalfd.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  options.stopFd = signalfd(-1, &stop, SFD_CLOEXEC);
  if (options.stopFd < 0) {
    std::fprintf(stderr, "hid-emulate: signalfd: %s\n", std::strerror(errno));
    return 1;
  }
  return hidhost::uhid::RunEmulator(options, stdout, stderr);
}
