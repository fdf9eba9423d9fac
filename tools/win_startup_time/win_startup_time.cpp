// win-startup-time PROGRAM CAPTION [RUNS]: measures, RUNS times (default 7),
// the time from starting PROGRAM (CreateProcess, no arguments) to the first
// visible top-level window of that process whose caption is CAPTION, then
// closes the window (WM_CLOSE; the process is ended if it has not gone
// within five seconds). Prints each run and the median in milliseconds.
// The program inherits the environment (HID_SIMULATION and the like).
// Exit status: 0 done, 1 a run timed out or the program did not start,
// 2 usage error.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 30000;

struct Search {
  DWORD process;
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (search->caption != caption) return TRUE;
  search->found = window;
  return FALSE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start: the milliseconds to the window, or a negative value.
double MeasureOnce(const std::wstring& program, const std::wstring& caption) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program + L"\"";
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
    return -1;
  }
  Search search{info.dwProcessId, caption};
  double elapsed = -1;
  for (;;) {
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.found != nullptr) {
      elapsed = Seconds(start, now, frequency) * 1000.0;
      break;
    }
    if (Seconds(start, now, frequency) * 1000.0 > kTimeoutMs ||
        WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "no window with that caption appeared\n");
      break;
    }
    Sleep(1);
  }
  if (search.found != nullptr) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s PROGRAM CAPTION [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc == 4 ? std::atoi(argv[3]) : 7;
  if (runs < 1 || runs > 1000) {
    std::fprintf(stderr, "RUNS must be 1 to 1000\n");
    return 2;
  }
  // Arguments in the ANSI code page, as the C runtime gives them.
  auto wide = [](const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), size);
    out.resize(wcslen(out.c_str()));
    return out;
  };
  const std::wstring program = wide(argv[1]);
  const std::wstring caption = wide(argv[2]);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = MeasureOnce(program, caption);
    if (ms < 0) return 1;
    std::printf("run %d: %.1f ms\n", i + 1, ms);
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  const size_t n = times.size();
  const double median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
  std::printf("median of %zu runs: %.1f ms\n", n, median);
  return 0;
}
