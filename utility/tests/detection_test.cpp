// Start-up, the screen states of reader detection, Launch and the ways out.
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <set>

#include "dialog_fixture.h"
#include "reader_link/reader_device.h"
#include "utility/reader_detection.h"

namespace utility::testing {
namespace {

const std::vector<ControlId> kAllControls = {
    ControlId::ManualGroup,  ControlId::CommandBox,   ControlId::SendCommand, ControlId::RunScript,
    ControlId::SendFile,     ControlId::PanelExit,    ControlId::HistoryLabel, ControlId::HistoryBox,
    ControlId::ResponseLabel, ControlId::ResponseBox, ControlId::StatusLine,  ControlId::Launch,
    ControlId::HandOverExit};

const std::set<ControlId> kCommandPanel(std::begin(kPanelShowOrder), std::end(kPanelShowOrder));
const std::set<ControlId> kWaitingControls = {ControlId::StatusLine, ControlId::HandOverExit};
const std::set<ControlId> kOlderControls = {ControlId::StatusLine, ControlId::Launch, ControlId::HandOverExit};

std::set<ControlId> Union(std::set<ControlId> a, const std::set<ControlId>& b) {
  a.insert(b.begin(), b.end());
  return a;
}

class DetectionTest : public DialogTest {
 protected:
  std::set<ControlId> ShownControls() const {
    std::set<ControlId> shown;
    for (ControlId id : kAllControls)
      if (Shown(id)) shown.insert(id);
    return shown;
  }
};

TEST_F(DetectionTest, StartsOnTheWaitingScreenWithTheTimerRunning) {
  MakeHost("none");
  UtilityDialog fresh(session, prompter);
  EXPECT_TRUE(fresh.Timer().isActive());
  EXPECT_EQ(fresh.Timer().interval(), 100);
  fresh.Timer().stop();
  EXPECT_EQ(fresh.windowTitle().toStdString(), "KAVRO USB KB (QV5) Utility v1.2");
  EXPECT_EQ(fresh.Text(ControlId::StatusLine), "Please Connect KAVRO USB KB Reader!");
  EXPECT_FALSE(fresh.MenuBar()->isVisibleTo(&fresh));
  for (ControlId id : kAllControls)
    EXPECT_EQ(fresh.IsVisible(id), kWaitingControls.count(id) == 1) << static_cast<int>(id);
  EXPECT_EQ(fresh.palette().color(QPalette::Window), QColor(150, 200, 255));
  EXPECT_EQ(fresh.palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

struct StateCase {
  const char* name;
  const char* preset;
  bool repeatFirstInterface;
  std::set<ControlId> shown;
  bool menuBar;
  std::string status;  // the status line's text, visible or not
};
void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }


class ScreenStateTest : public DetectionTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(ScreenStateTest, OneTickShowsTheScreenOfTheReaderFound) {
  const StateCase& c = GetParam();
  MakeHost(c.preset);
  if (c.repeatFirstInterface) host->RepeatInterface(0);
  MakeDialog();
  Tick();
  EXPECT_EQ(ShownControls(), c.shown);
  EXPECT_EQ(dialog->MenuBar()->isVisibleTo(dialog.get()), c.menuBar);
  EXPECT_EQ(Text(ControlId::StatusLine), c.status);
  EXPECT_EQ(session.StatusText, c.status);
  EXPECT_EQ(session.runState.ReaderPresent, std::string(c.preset) == "none" ? 0 : 1);
  if (Shown(ControlId::Launch)) {
    EXPECT_EQ(Text(ControlId::Launch),
              "Launch the original version \r\nKAVRO USB KB Setup Program\r\n\r\nThis program will close by itself");
    // Four lines on the button, the third empty.
    auto* launch = qobject_cast<QPushButton*>(dialog->Control(ControlId::Launch));
    EXPECT_EQ(launch->text().split('\n').size(), 4);
  }
}

INSTANTIATE_TEST_SUITE_P(
    States, ScreenStateTest,
    ::testing::Values(
        StateCase{"Waiting", "none", false, kWaitingControls, false, kWaitingStatus},
        StateCase{"CurrentReader", "reader", false, kCommandPanel, true, kWaitingStatus},
        StateCase{"CurrentReaderAtTwoInterfaces", "reader", true, kCommandPanel, true, kWaitingStatus},
        StateCase{"OlderReader", "legacy-reader", false, kOlderControls, false, kLegacyReaderStatus},
        StateCase{"OlderReaderAtTwoInterfaces", "legacy-reader", true, kOlderControls, false,
                  kLegacyReaderStatus},
        // Both generations in one scan: the command panel does not hide the
        // Launch button, whichever came first.
        StateCase{"BothGenerations", "both-readers", false, Union(kCommandPanel, {ControlId::Launch}),
                  true, kLegacyReaderStatus}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST_F(DetectionTest, WaitingRescansEveryTickAndAReaderAttachedLaterIsFound) {
  MakeHost("reader");
  host->SetUnplugged(true);
  MakeDialog();
  for (int tick = 1; tick <= 3; ++tick) {
    const int before = host->enumerations();
    Tick();
    EXPECT_EQ(host->enumerations() - before, 1) << "one scan each tick, listing the interfaces once";
    EXPECT_EQ(ShownControls(), kWaitingControls);
    EXPECT_TRUE(prompter.messages.empty());
  }
  host->SetUnplugged(false);
  Tick();
  EXPECT_EQ(ShownControls(), kCommandPanel);
}

TEST_F(DetectionTest, AFoundReaderIsFinalEvenWhenUnplugged) {
  Start("reader");
  Tick();
  host->SetUnplugged(true);
  const int before = host->enumerations();
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(host->enumerations(), before) << "detection must not run again";
  EXPECT_EQ(ShownControls(), kCommandPanel);
  EXPECT_EQ(session.runState.ReaderPresent, 1);
}

TEST_F(DetectionTest, AReaderThatCannotBeOpenedCountsAsNone) {
  MakeHost("reader");
  const std::vector<std::string> paths = host->Paths();
  ASSERT_FALSE(paths.empty());
  for (const std::string& path : paths) host->RefuseSecondOpen(path);
  MakeDialog();
  ::testing::internal::CaptureStdout();
  Tick();
  std::fflush(stdout);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "detection prints nothing";
  EXPECT_EQ(ShownControls(), kWaitingControls);
  EXPECT_EQ(session.runState.ReaderPresent, 0);
}

TEST_F(DetectionTest, HelpAboutOpensTheAboutBox) {
  Start("reader");
  WaitForCommandPanel();
  TriggerMenu(menu::About);
  EXPECT_EQ(prompter.aboutShown, 1);
}

struct LaunchCase {
  const char* name;
  bool startSucceeds;
};
void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.name; }


class LaunchTest : public DetectionTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchTest, LaunchStartsTheLegacyToolAndEndsTheDialog) {
  MakeHost("legacy-reader");
  host->sim().SetRecordProgramStarts(true, GetParam().startSucceeds);
  MakeDialog();
  Tick();
  Click(ControlId::Launch);
  EXPECT_EQ(host->sim().ProgramStarts(), std::vector<std::string>{"skelmar"});
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_TRUE(prompter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Launch, LaunchTest,
                         ::testing::Values(LaunchCase{"Started", true}, LaunchCase{"NotFound", false}),
                         [](const ::testing::TestParamInfo<LaunchCase>& info) { return std::string(info.param.name); });

enum class Way { PanelExit, HandOverExit, FileExit, Escape, CloseBox };
struct ExitCase {
  const char* name;
  const char* preset;
  Way way;
  int result;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }


class ExitTest : public DetectionTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, EveryWayOutEndsTheDialog) {
  const ExitCase& c = GetParam();
  Start(c.preset);
  Tick();
  switch (c.way) {
    case Way::PanelExit: Click(ControlId::PanelExit); break;
    case Way::HandOverExit: Click(ControlId::HandOverExit); break;
    case Way::FileExit: TriggerMenu(menu::Exit); break;
    case Way::Escape: {
      QWidget* target = Shown(ControlId::CommandBox) ? dialog->Control(ControlId::CommandBox) : dialog.get();
      target->setFocus();
      QTest::keyClick(target, Qt::Key_Escape);
      break;
    }
    case Way::CloseBox: dialog->close(); break;
  }
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), c.result);
  EXPECT_TRUE(host->sim().ProgramStarts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Exit, ExitTest,
    ::testing::Values(ExitCase{"PanelExit", "reader", Way::PanelExit, QDialog::Accepted},
                      ExitCase{"HandOverExitWaiting", "none", Way::HandOverExit, QDialog::Accepted},
                      ExitCase{"HandOverExitOlder", "legacy-reader", Way::HandOverExit, QDialog::Accepted},
                      ExitCase{"FileExit", "reader", Way::FileExit, QDialog::Accepted},
                      ExitCase{"EscapeWaiting", "none", Way::Escape, QDialog::Rejected},
                      ExitCase{"EscapeInCommandBox", "reader", Way::Escape, QDialog::Rejected},
                      ExitCase{"CloseBox", "none", Way::CloseBox, QDialog::Rejected}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace utility::testing
