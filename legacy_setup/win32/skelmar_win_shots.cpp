// skelmar_win_shots <outdir>: shows the setup dialog against the simulated
// legacy reader in virtual time and writes its picture to
// <outdir>/skelmar-windows.bmp, for the user documentation.
//
// The picture shows one string sent (History, and the reader's reply in the
// Response box) and a second one half way out.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "hidhost/sim.h"
#include "setup_window.h"
#include "startup.h"
#include "win32_common/window_capture.h"
#include "win32_prompts.h"

namespace {

using skelmar::Control;

void Tick(skelmar::Win32SetupWindow& window, hidhost::sim::VirtualClock& clock) {
  clock.AdvanceMs(window.SendTimerPeriod());
  SendMessageW(window.Handle(), WM_TIMER, skelmar::kSendTimerId, 0);
  skelmar::ProcessPendingMessages(window.Handle());
}

void TypeAndSend(skelmar::Win32SetupWindow& window, const std::string& text) {
  window.SetText(Control::Input, text);
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(static_cast<int>(Control::Send), BN_CLICKED),
               reinterpret_cast<LPARAM>(window.Item(Control::Send)));
}

int Shoot(const std::string& folder) {
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  if (!hidhost::sim::InstallSimulatedHost("legacy-reader", clock, &error)) {
    std::fprintf(stderr, "skelmar_win_shots: %s\n", error.c_str());
    return 1;
  }

  skelmar::Win32Prompts prompts(skelmar::kBatchFileFilter);  // nothing asks
  skelmar::Win32SetupWindow::Options options;
  options.timerMode = skelmar::Win32SetupWindow::TimerMode::Manual;
  skelmar::Win32SetupWindow window(GetModuleHandleW(nullptr), prompts, options);
  if (!window.Create() || !window.Controller()) {
    std::fprintf(stderr, "skelmar_win_shots: the dialog cannot be created (%lu)\n", GetLastError());
    return 1;
  }
  skelmar::ProcessPendingMessages(window.Handle());

  TypeAndSend(window, "K0");
  while (window.SendTimerRunning()) Tick(window, *clock);
  TypeAndSend(window, "T1");
  Tick(window, *clock);

  const std::string path = folder + "\\skelmar-windows.bmp";
  const bool saved = win32ui::CaptureWindowToBmp(window.Handle(), path);
  if (saved) {
    std::printf("%s\n", path.c_str());
  } else {
    std::fprintf(stderr, "skelmar_win_shots: cannot write %s\n", path.c_str());
  }
  while (window.SendTimerRunning()) Tick(window, *clock);  // the reader is closed again
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  CreateDirectoryA(folder.c_str(), nullptr);
  const int result = Shoot(folder);
  hidhost::InstallHost(nullptr);
  hidhost::InstallServices(nullptr);
  return result;
}
