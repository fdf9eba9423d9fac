#include "dialog_fixture.h"

#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "colours.h"
#include "reader_link/reader_device.h"
#include "gui_common/text_codec.h"

namespace utility::testing {

void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "utility_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's test input devices outlive every static object.
  static QApplication* app = new QApplication(argc, argv);
  ApplyUtilityColours(*app);
}

void DialogTest::MakeHost(const std::string& preset) {
  clock = std::make_shared<hidhost::sim::VirtualClock>();
  std::string error;
  host = HostWrapper::Install(preset, clock, &error);
  ASSERT_TRUE(host) << error;
}

void DialogTest::MakeDialog() {
  dialog = std::make_unique<UtilityDialog>(session, prompter);
  dialog->Timer().stop();
  dialog->show();
}

void DialogTest::Start(const std::string& preset) {
  MakeHost(preset);
  MakeDialog();
}

void DialogTest::TearDown() {
  dialog.reset();
  if (host) {
    hidhost::InstallHost(hidhost::sim::SimulatedHost::Create("none", clock));
    hidhost::InstallServices(nullptr);
  }
}

void DialogTest::Click(ControlId id) {
  auto* button = qobject_cast<QPushButton*>(dialog->Control(id));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isVisible()) << "button " << static_cast<int>(id) << " is hidden";
  button->click();
}

void DialogTest::TriggerMenu(int id) {
  QAction* action = dialog->MenuAction(id);
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(dialog->MenuBar()->isVisible()) << "no menu bar";
  action->trigger();
}

void DialogTest::TypeCommand(const std::string& text) {
  auto* edit = qobject_cast<QPlainTextEdit*>(dialog->Control(ControlId::CommandBox));
  edit->clear();
  edit->setFocus();
  edit->insertPlainText(guicommon::ToDisplayText(text));
}

void DialogTest::ProcessEvents() { QCoreApplication::processEvents(); }

void DialogTest::WaitForCommandPanel() {
  for (int i = 0; i < 5 && !Shown(ControlId::CommandBox); ++i) Tick();
  ASSERT_TRUE(Shown(ControlId::CommandBox));
}

}  // namespace utility::testing

// Fontconfig, which Qt's offscreen platform loads, keeps caches it never
// frees; the leak checker of sanitizer builds passes over them.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
