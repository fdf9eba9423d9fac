#include "kernel_devices.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kernel_test {

namespace fs = std::filesystem;

namespace {

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// Waits for the child to end, polling its status every 10 ms.
int WaitFor(pid_t pid, int timeoutMs) {
  const uint64_t until = NowMs() + static_cast<uint64_t>(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0 || NowMs() >= until) return -1;
    ::poll(nullptr, 0, 10);
  }
}

pid_t Spawn(const std::vector<std::string>& argv, int* out) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::setenv("HID_SIMULATION", "", 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    std::_Exit(127);
  }
  ::close(pipeFds[1]);
  *out = pipeFds[0];
  return pid;
}

}  // namespace

std::string WhyNoKernel() {
  if (::access("/dev/uhid", F_OK) != 0) return "no /dev/uhid: the kernel tests run under tools/test-vm.sh";
  if (::geteuid() != 0) return "the kernel tests need root";
  if (::access("/dev/uhid", R_OK | W_OK) != 0) return "/dev/uhid cannot be opened";
  return {};
}

std::string BuildProgram(const std::string& name) {
  return (fs::read_symlink("/proc/self/exe").parent_path() / name).string();
}

int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs) {
  int out = -1;
  const pid_t pid = Spawn(argv, &out);
  if (pid < 0) return -1;
  output->clear();
  const uint64_t until = NowMs() + static_cast<uint64_t>(timeoutMs);
  for (;;) {
    const uint64_t now = NowMs();
    pollfd p{out, POLLIN, 0};
    if (now >= until || ::poll(&p, 1, static_cast<int>(until - now)) <= 0) {
      ::kill(pid, SIGKILL);
      WaitFor(pid, 5000);
      ::close(out);
      return -1;
    }
    char buffer[4096];
    const ssize_t got = ::read(out, buffer, sizeof buffer);
    if (got <= 0) break;
    output->append(buffer, static_cast<size_t>(got));
  }
  ::close(out);
  return WaitFor(pid, static_cast<int>(until > NowMs() ? until - NowMs() : 0));
}

KernelDevices::~KernelDevices() {
  if (pid_ > 0 && Signal(SIGTERM) < 0) Signal(SIGKILL);
  if (out_ >= 0) ::close(out_);
  if (!dir_.empty()) fs::remove_all(dir_);
}

std::string KernelDevices::TempPath(const std::string& name) const { return dir_ + "/" + name; }

bool KernelDevices::Start(const std::string& presetOrJson, size_t count) {
  char pattern[] = "/tmp/kernel-devices-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return false;
  dir_ = pattern;
  std::string source = presetOrJson;
  if (!source.empty() && source.front() == '{') {
    source = TempPath("devices.json");
    std::ofstream(source) << presetOrJson;
  }
  pid_ = Spawn({BuildProgram("hid-emulate"), source}, &out_);
  if (pid_ < 0) return false;
  const uint64_t until = NowMs() + 20000;
  std::string line;
  while (interfaces_.size() < count && ReadLine(until, &line)) {
    unsigned vendor = 0, product = 0;
    size_t index = 0;
    char node[64] = {};
    if (std::sscanf(line.c_str(), "%4x:%4x interface %zu %63s", &vendor, &product, &index, node) == 4 &&
        std::string(node).rfind("/dev/", 0) == 0) {
      interfaces_.push_back({static_cast<uint16_t>(vendor), static_cast<uint16_t>(product), index, node});
    } else {
      otherLines_.push_back(line);
    }
  }
  if (interfaces_.size() < count) return false;
  std::sort(interfaces_.begin(), interfaces_.end(),
            [](const EmulatedInterface& a, const EmulatedInterface& b) { return a.index < b.index; });
  return true;
}

bool KernelDevices::ReadLine(uint64_t untilMs, std::string* line) {
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      *line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return true;
    }
    const uint64_t now = NowMs();
    pollfd p{out_, POLLIN, 0};
    if (now >= untilMs || ::poll(&p, 1, static_cast<int>(untilMs - now)) <= 0) return false;
    char buffer[512];
    const ssize_t got = ::read(out_, buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(got));
  }
}

bool KernelDevices::WaitForLine(const std::string& wanted, int timeoutMs) {
  if (std::find(otherLines_.begin(), otherLines_.end(), wanted) != otherLines_.end()) return true;
  const uint64_t until = NowMs() + static_cast<uint64_t>(timeoutMs);
  std::string line;
  while (ReadLine(until, &line)) {
    if (line == wanted) return true;
  }
  return false;
}

int KernelDevices::Signal(int signal) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  if (signal != SIGTERM && signal != SIGKILL) return 0;
  const int status = WaitFor(pid_, 10000);
  if (status >= 0) pid_ = -1;
  return status;
}

}  // namespace kernel_test
