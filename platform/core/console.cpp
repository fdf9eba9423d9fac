#include "hidhost/console.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "text/wide_text.h"
#else
#include <unistd.h>
#endif

namespace hidhost {

bool IsTerminal(StdStream stream) {
  const int fd = stream == StdStream::Input ? 0 : stream == StdStream::Output ? 1 : 2;
#ifdef _WIN32
  return _isatty(fd) != 0;
#else
  return ::isatty(fd) != 0;
#endif
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace hidhost
