// pelorin_win_shots <folder>: renders each screen of Pelorin's Windows
// dialogs on the simulated host and saves it as a BMP file named like the
// Qt screenshots (pelorin-windows-waiting.bmp, ...): the waiting screen, a
// current reader (command panel), an older reader (Launch), an unknown
// reader, a review of the keyboard language, and the Warning and SETTING
// boxes over the command panel.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "dialog_colours.h"
#include "hidhost/sim.h"
#include "reader_link/reader_device.h"
#include "utility/control_ids.h"
#include "utility/reader_detection.h"
#include "utility/session.h"
#include "utility_program.h"
#include "win32_common/dialog_answerer.h"
#include "win32_common/text.h"
#include "win32_common/window_capture.h"

namespace {

using utility::UtilityProgram;

void ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool Save(HWND window, const std::string& folder, const char* file) {
  const std::string path = folder + "\\" + file;
  const bool saved = win32ui::CaptureWindowToBmp(window, path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
  return saved;
}

// Builds the dialog on `preset`, lets `prepare` bring it into its state and
// saves what it shows: the main dialog, or what `prepare` saved itself.
bool Render(const std::string& folder, const char* file, const char* preset,
            const std::function<bool(UtilityProgram&)>& prepare) {
  auto clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  if (!hidhost::sim::InstallSimulatedHost(preset, clock, &error)) {
    std::fprintf(stderr, "%s: %s\n", preset, error.c_str());
    return false;
  }

  utility::Session session;
  bool saved = false;
  {
    UtilityProgram program(GetModuleHandleW(nullptr), session);
    if (!program.Create()) {
      std::fprintf(stderr, "the dialog could not be created\n");
      return false;
    }
    program.window().StopTimer();
    HWND window = program.window().Handle();
    SetWindowPos(window, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    const bool ownSave = prepare(program);
    ProcessMessages();
    saved = file == nullptr ? ownSave : Save(window, folder, file);
  }
  ProcessMessages();
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
  hidhost::InstallServices(nullptr);
  return saved;
}

void Tick(UtilityProgram& program) {
  SendMessageW(program.window().Handle(), WM_TIMER, utility::kTimerId, 0);
}

// Opens a setting command's boxes over the command panel and saves the box
// whose caption is `caption`; every box is then cancelled.
bool SaveBox(UtilityProgram& program, int menuId, const char* caption, const std::string& folder,
             const char* file) {
  Tick(program);
  win32ui::testing::DialogAnswerer answerer;
  answerer.Ignore(program.window().Handle());
  bool saved = false;
  auto answer = [&](HWND box) {
    if (win32ui::GetWindowTextLatin1(box) == caption) {
      RECT main{};
      GetWindowRect(program.window().Handle(), &main);
      SetWindowPos(box, HWND_TOP, main.left + 60, main.top + 120, 0, 0, SWP_NOSIZE);
      saved = Save(box, folder, file);
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    } else {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  };
  answerer.Answer(answer);
  answerer.Answer(answer);
  SendMessageW(program.window().Handle(), WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    std::fprintf(stderr, "cannot make the folder %s\n", folder.c_str());
    return 1;
  }
  utility::DialogColours colours;
  bool ok = true;
  auto tick = [](UtilityProgram& p) {
    Tick(p);
    return true;
  };
  ok &= Render(folder, "pelorin-windows-waiting.bmp", "none", tick);
  ok &= Render(folder, "pelorin-windows-current-reader.bmp", "reader", tick);
  ok &= Render(folder, "pelorin-windows-older-reader.bmp", "legacy-reader", tick);
  // A found reader always has one of the two known products, so this screen
  // is shown with the text detection puts there for any other generation.
  ok &= Render(folder, "pelorin-windows-unknown-reader.bmp", "none", [](UtilityProgram& p) {
    p.window().SetText(utility::ControlId::StatusLine, utility::kUnknownReaderStatus);
    return true;
  });
  ok &= Render(folder, "pelorin-windows-review-language.bmp", "reader", [](UtilityProgram& p) {
    Tick(p);
    SendMessageW(p.window().Handle(), WM_COMMAND, MAKEWPARAM(utility::menu::ReviewLanguage, 0), 0);
    return true;
  });
  ok &= Render(folder, nullptr, "reader", [&](UtilityProgram& p) {
    return SaveBox(p, utility::menu::FirstLanguage, "Warning", folder, "pelorin-windows-warning.bmp");
  });
  ok &= Render(folder, nullptr, "reader", [&](UtilityProgram& p) {
    return SaveBox(p, utility::menu::SetPollingInterval, "SETTING", folder,
                   "pelorin-windows-setting.bmp");
  });
  return ok ? 0 : 1;
}
