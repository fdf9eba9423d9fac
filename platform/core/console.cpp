#include "hidhost/console.h"

#ifdef _WIN32
#include <io.h>
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

}  // namespace hidhost
