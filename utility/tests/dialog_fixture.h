// The main dialog on the simulated host, in virtual time, with a scripted
// prompter. Tests drive the real widgets and call the 100 ms tick directly;
// the dialog's own timer is stopped.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hidhost/sim.h"
#include "utility/host_wrapper.h"
#include "utility/scripted_prompter.h"
#include "utility/session.h"
#include "utility_dialog.h"

namespace utility::testing {

// One QApplication for the test program, with the utility's colours.
void EnsureApplication();

class DialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }
  void TearDown() override;

  // Installs the simulated host of `preset` (a preset name) and builds the
  // dialog on it.
  void Start(const std::string& preset);
  // Builds the host without the dialog, for wrapper settings before Start.
  void MakeHost(const std::string& preset);
  void MakeDialog();

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) dialog->DispatchTimerTick();
  }
  void Click(ControlId id);
  void TriggerMenu(int id);
  bool Shown(ControlId id) const { return dialog->IsVisible(id); }
  std::string Text(ControlId id) const { return dialog->Text(id); }
  // Types into the command box as the operator does.
  void TypeCommand(const std::string& text);
  // Runs queued events (the reader's keyboard input).
  void ProcessEvents();
  // Ticks until the command panel shows.
  void WaitForCommandPanel();

  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<HostWrapper> host;
  Session session;
  ScriptedPrompter prompter;
  std::unique_ptr<UtilityDialog> dialog;
};

}  // namespace utility::testing
