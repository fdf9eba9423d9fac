// Pelorin's Windows dialogs on the simulated host, in virtual time. The
// main dialog is created modeless with its timer stopped; tests send it
// button and menu commands and ticks as messages, and answer its modal
// boxes with a DialogAnswerer.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "utility/host_wrapper.h"
#include "utility/session.h"
#include "utility_program.h"
#include "win32_common/dialog_answerer.h"

namespace utility::testing {

class Win32DialogTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Installs the simulated host of `preset` and creates the dialog on it.
  void Start(const std::string& preset);
  void MakeHost(const std::string& preset);
  void MakeProgram();
  // Ticks until the command panel shows.
  void StartWithReader();

  HWND Window() { return program->window().Handle(); }
  HWND Control(ControlId id) { return program->window().Control(id); }
  void Tick();
  // A click on a visible, enabled button.
  void Click(ControlId id);
  // A menu command of the attached menu bar.
  void Menu(int id);
  std::string Text(ControlId id) { return program->window().Text(id); }
  void SetText(ControlId id, const std::string& text);
  bool Shown(ControlId id) { return program->window().IsVisible(id); }
  // The controls shown, of all the template's.
  std::set<ControlId> ShownControls();
  // Delivers the messages waiting in the thread's queue.
  void ProcessMessages();
  // Every feature report written to a reader, as hexadecimal text.
  std::vector<std::string> FeatureWrites();

  std::shared_ptr<hidhost::sim::VirtualClock> clock;
  std::shared_ptr<HostWrapper> host;
  Session session;
  std::unique_ptr<UtilityProgram> program;
  std::unique_ptr<win32ui::testing::DialogAnswerer> answerer;
};

}  // namespace utility::testing
