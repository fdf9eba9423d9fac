// The runner in the real main dialog: the progress display edits the start
// of a 10 MB command box in place, each step costing its own line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>

#include "hidhost/sim.h"
#include "utility/control_ids.h"
#include "utility_app.h"

namespace utility {
namespace {

TEST(ScriptDialog, TenMegabyteScriptStepsInTheCommandBox) {
  hidhost::InstallHost(hidhost::sim::SimulatedHost::Create(
      "none", std::make_shared<hidhost::sim::VirtualClock>()));
  Session session;
  QtPrompter prompter;
  UtilityDialog dialog(session, prompter);
  dialog.Timer().stop();
  UtilityHandlers handlers = AttachHandlers(dialog);

  const std::string line = "C" + std::string(1021, 'x') + "\r\n";  // long lines keep Qt's own setup short
  std::string script;
  while (script.size() < 10u * 1024 * 1024) script += line;
  dialog.SetText(ControlId::CommandBox, script + "END\r\n");
  qobject_cast<QPushButton*>(dialog.Control(ControlId::RunScript))->click();
  EXPECT_EQ(dialog.Text(ControlId::RunScript), "Stop");

  constexpr int kSteps = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSteps; ++i) handlers.script->RunScriptStep();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("seconds_for_200_steps", std::to_string(seconds));
  EXPECT_LT(seconds, 5.0);  // rewriting the whole box each step takes far longer

  const std::string box = dialog.Text(ControlId::CommandBox);
  const std::string head = "Current command: " + line + "\r\n";
  EXPECT_EQ(box.substr(0, head.size()), head);
  EXPECT_EQ(box.size(), head.size() + script.size() - kSteps * line.size() + 5);
}

}  // namespace
}  // namespace utility
