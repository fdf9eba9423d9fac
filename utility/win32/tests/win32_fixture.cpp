#include "win32_fixture.h"

#include "reader_link/reader_device.h"
#include "utility/dialog_template.h"
#include "win32_common/text.h"

namespace utility::testing {

void Win32DialogTest::MakeHost(const std::string& preset) {
  clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  host = HostWrapper::Install(preset, clock, &error);
  ASSERT_TRUE(host) << error;
}

void Win32DialogTest::MakeProgram() {
  program = std::make_unique<UtilityProgram>(GetModuleHandleW(nullptr), session);
  ASSERT_TRUE(program->Create()) << "the dialog could not be created: no display? (tools/test-windows.sh starts one)";
  program->window().StopTimer();
  // Made after the main dialog, so that it never answers that one.
  answerer = std::make_unique<win32ui::testing::DialogAnswerer>();
}

void Win32DialogTest::Start(const std::string& preset) {
  MakeHost(preset);
  MakeProgram();
}

void Win32DialogTest::StartWithReader() {
  Start("reader");
  for (int i = 0; i < 5 && !Shown(ControlId::CommandBox); ++i) Tick();
  ASSERT_TRUE(Shown(ControlId::CommandBox));
}

void Win32DialogTest::TearDown() {
  // A box no test answered (an error nobody expected) was only cancelled.
  if (answerer) {
    for (const win32ui::testing::SeenDialog& seen : answerer->Seen())
      EXPECT_TRUE(seen.expected) << "unexpected dialog: " << seen.caption << ": " << seen.text;
  }
  answerer.reset();
  program.reset();
  ProcessMessages();
  if (host) {
    hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
    hidhost::InstallServices(nullptr);
  }
}

void Win32DialogTest::Tick() { SendMessageW(Window(), WM_TIMER, kTimerId, 0); }

void Win32DialogTest::Click(ControlId id) {
  HWND button = Control(id);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(Shown(id)) << "button " << static_cast<int>(id) << " is hidden";
  ASSERT_TRUE(IsWindowEnabled(button)) << "button " << static_cast<int>(id) << " is disabled";
  SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void Win32DialogTest::Menu(int id) {
  HMENU menu = GetMenu(Window());
  ASSERT_NE(menu, nullptr) << "no menu bar";
  ASSERT_NE(GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND), static_cast<UINT>(-1));
  SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void Win32DialogTest::SetText(ControlId id, const std::string& text) {
  win32ui::SetWindowTextLatin1(Control(id), text);
}

std::set<ControlId> Win32DialogTest::ShownControls() {
  std::set<ControlId> shown;
  for (const ControlTemplate& t : MainDialogControls())
    if (Shown(t.id)) shown.insert(t.id);
  return shown;
}

void Win32DialogTest::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::vector<std::string> Win32DialogTest::FeatureWrites() {
  std::vector<std::string> writes;
  for (const std::string& line : host->sim().Transcript()) {
    const size_t at = line.find(" SET_FEATURE ");
    if (at != std::string::npos) writes.push_back(line.substr(at + 13));
  }
  return writes;
}

}  // namespace utility::testing
