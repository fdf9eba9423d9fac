// Pelorin as the program runs it: the host chosen from HID_SIMULATION, the
// real prompter and handlers, and a real program start. With an older
// reader the Launch panel shows, and Launch starts skelmar from the folder
// of the running program.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "hidhost/host.h"
#include "utility_app.h"

namespace utility::testing {
namespace {

namespace fs = std::filesystem;

fs::path OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// Processes whose environment holds `marker` and whose program is `exe`.
std::vector<pid_t> ProcessesWith(const std::string& marker, const fs::path& exe) {
  std::vector<pid_t> found;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code error;
    const fs::path program = fs::read_symlink(entry.path() / "exe", error);
    if (error || program != exe) continue;
    std::ifstream environ(entry.path() / "environ", std::ios::binary);
    std::stringstream text;
    text << environ.rdbuf();
    if (text.str().find(marker) != std::string::npos) found.push_back(std::stoi(name));
  }
  return found;
}

TEST(EndToEndTest, OlderReaderShowsLaunchAndLaunchStartsSkelmarFromTheSameFolder) {
  const fs::path skelmar = OwnFolder() / "skelmar";
  if (::access(skelmar.c_str(), X_OK) != 0) {
    GTEST_SKIP() << skelmar << " is not built; build the skelmar target to run this test";
  }
  // The host is chosen from the environment on first use, as in the program.
  ::setenv("HID_SIMULATION", "legacy-reader", 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string marker = "PELORIN_LAUNCH_MARKER=" + std::to_string(::getpid()) + "_" +
                             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  ::setenv("PELORIN_LAUNCH_MARKER", marker.substr(marker.find('=') + 1).c_str(), 1);
  EnsureApplication();

  Session session;
  QtPrompter prompter;
  AttachSettingDialogs(prompter);
  UtilityDialog dialog(session, prompter);
  prompter.SetParent(&dialog);
  UtilityHandlers handlers = AttachHandlers(dialog);
  dialog.Timer().stop();
  dialog.show();

  dialog.DispatchTimerTick();
  ASSERT_TRUE(dialog.IsVisible(ControlId::Launch));
  EXPECT_FALSE(dialog.IsVisible(ControlId::CommandBox));
  auto* launch = qobject_cast<QPushButton*>(dialog.Control(ControlId::Launch));
  launch->click();
  EXPECT_FALSE(dialog.isVisible()) << "Pelorin ends at once";

  // The program start returns once skelmar's image runs.
  const std::vector<pid_t> started = ProcessesWith(marker, skelmar);
  for (pid_t pid : started) ::kill(pid, SIGKILL);
  EXPECT_EQ(started.size(), 1u) << "skelmar from " << OwnFolder() << " was started once";
}

}  // namespace
}  // namespace utility::testing
