// Start-up: the boxes shown when the dialog or its controller cannot be
// created, the exit codes, and the Qt prompts.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "skelmar/win_exception.h"
#include "startup.h"
#include "temp_files.h"
#include "window_fixture.h"

namespace skelmar_test {
namespace {

using skelmar::Prompts;
using skelmar::SetupWindow;
using Warnings = std::vector<skelmar::ScriptedPrompts::Warning>;

class StartupTest : public WindowTest {};

// Runs a start-up that must fail and returns the boxes it showed.
Warnings FailedStartWarnings(const skelmar::StartupHooks& hooks) {
  skelmar::ScriptedPrompts prompts;
  EXPECT_EQ(skelmar::RunSetupTool(prompts, hooks), 1);
  return prompts.warnings;
}

TEST_F(StartupTest, DialogThatCannotBeCreatedEndsWithCreateDialogBox) {
  struct Case {
    std::function<std::unique_ptr<SetupWindow>(Prompts&)> create;
    const char* text;
  };
  const Case cases[] = {
      {[](Prompts&) -> std::unique_ptr<SetupWindow> {
         hidhost::SetLastError(5);
         return nullptr;
       },
       "Error x5"},
      {[](Prompts&) -> std::unique_ptr<SetupWindow> { throw skelmar::WinException{0x57, "x"}; },
       "Error x57"},
      {[](Prompts&) -> std::unique_ptr<SetupWindow> { throw std::bad_alloc(); }, "Error x8"},
  };
  for (const Case& c : cases) {
    skelmar::StartupHooks hooks;
    hooks.createWindow = c.create;
    EXPECT_EQ(FailedStartWarnings(hooks), (Warnings{{c.text, "CreateDialog"}}));
  }
}

TEST_F(StartupTest, ControllerThatCannotBeCreatedEndsAfterExceptionBox) {
  struct Case {
    SetupWindow::ControllerFactory create;
    const char* text;
  };
  const Case cases[] = {
      {[](skelmar::DialogWindow&, Prompts&) -> std::unique_ptr<skelmar::SetupDialog> {
         throw skelmar::WinException{8, "Out of memory"};
       },
       "Out of memory"},
      {[](skelmar::DialogWindow&, Prompts&) -> std::unique_ptr<skelmar::SetupDialog> {
         throw std::bad_alloc();
       },
       "Out of memory"},
      {[](skelmar::DialogWindow&, Prompts&) -> std::unique_ptr<skelmar::SetupDialog> {
         throw 42;
       },
       "Unknown"},
  };
  for (const Case& c : cases) {
    skelmar::StartupHooks hooks;
    hooks.createController = c.create;
    EXPECT_EQ(FailedStartWarnings(hooks), (Warnings{{c.text, "Exception"}}));
  }
}

TEST_F(StartupTest, ExitEndsTheEventLoopWithCodeZero) {
  skelmar::ScriptedPrompts prompts;
  skelmar::StartupHooks hooks;
  SetupWindow* shown = nullptr;
  hooks.createWindow = [&](Prompts& p) {
    auto window = std::make_unique<SetupWindow>(p, SetupWindow::TimerMode::Manual);
    shown = window.get();
    return window;
  };
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(shown && shown->isVisible());
    qobject_cast<QPushButton*>(shown->ControlWidget(skelmar::Control::Exit))->click();
  });
  EXPECT_EQ(skelmar::RunSetupTool(prompts, hooks), 0);
  EXPECT_TRUE(prompts.warnings.empty());
}

}  // namespace
}  // namespace skelmar_test
