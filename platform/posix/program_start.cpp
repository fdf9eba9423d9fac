// Program start by bare name: the running program's own folder first, then
// PATH. The program is started as a grandchild so that it never becomes a
// zombie of ours, and a close-on-exec pipe tells whether exec succeeded.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "hidhost/errors.h"
#include "posix_services.h"

namespace hidhost {
namespace {

bool IsExecutableFile(const std::string& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         ::access(file.c_str(), X_OK) == 0;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return "./" + name;  // an empty PATH entry means the current folder
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

std::string FindProgram(const std::string& name, const std::string& ownDir,
                        const std::string& pathList) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  if (!ownDir.empty() && IsExecutableFile(JoinPath(ownDir, name))) return JoinPath(ownDir, name);
  size_t start = 0;
  while (start <= pathList.size()) {
    size_t end = pathList.find(':', start);
    if (end == std::string::npos) end = pathList.size();
    std::string candidate = JoinPath(pathList.substr(start, end - start), name);
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

std::string OwnProgramFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string exe(buffer, static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash == 0 ? 1 : slash);
}

bool StartDetached(const std::string& file) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  pid_t child = ::fork();
  if (child < 0) {
    int err = errno;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    SetLastError(ErrorFromErrno(err));
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here on: the parent may have threads.
    ::close(pipeFds[0]);
    pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::setsid();
      char* const argv[] = {const_cast<char*>(file.c_str()), nullptr};
      ::execv(file.c_str(), argv);
      int err = errno;
      ssize_t ignored = ::write(pipeFds[1], &err, sizeof err);
      (void)ignored;
      ::_exit(127);
    }
    if (grandchild < 0) {
      int err = errno;
      ssize_t ignored = ::write(pipeFds[1], &err, sizeof err);
      (void)ignored;
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without data once exec succeeded; otherwise it carries errno.
  int execError = 0;
  ssize_t got;
  do {
    got = ::read(pipeFds[0], &execError, sizeof execError);
  } while (got < 0 && errno == EINTR);
  ::close(pipeFds[0]);
  if (got == static_cast<ssize_t>(sizeof execError)) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  return true;
}

bool StartProgramByName(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string file = FindProgram(name, OwnProgramFolder(), path != nullptr ? path : "");
  if (file.empty()) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  return StartDetached(file);
}

}  // namespace hidhost
