#include "hidhost/interrupt.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace hidhost {
namespace {

// Written by the signal handler (or the console's handler thread on
// Windows), read by the tool's thread.
std::atomic<bool> g_requested{false};

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  // The second one goes on to the default handler, which ends the process.
  return g_requested.exchange(true) ? FALSE : TRUE;
}
#else
struct sigaction g_previous {};

extern "C" void OnInterrupt(int) {
  if (g_requested.exchange(true)) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}
#endif

}  // namespace

InterruptCatch::InterruptCatch() {
  g_requested = false;
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;  // an exchange under way is not cut short
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &g_previous);
#endif
}

InterruptCatch::~InterruptCatch() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
#else
  sigaction(SIGINT, &g_previous, nullptr);
#endif
  g_requested = false;
}

bool InterruptCatch::Requested() const { return g_requested; }

void RaiseInterrupt() { g_requested = true; }

}  // namespace hidhost
