// The setting menu commands against the simulated reader, in virtual time.
#include <gtest/gtest.h>

#include "reader_session.h"
#include "utility/command_sender.h"
#include "utility/control_ids.h"
#include "utility/setting_commands.h"

namespace utility {
namespace {

using testing::HexFrameText;
using testing::ReaderSession;

// The answer text of a reader frame 02 06 <data> 03 LRC.
std::string AckAnswerText(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame{0x02, 0x06};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(0x03);
  uint8_t lrc = 0;
  for (uint8_t b : frame) lrc ^= b;
  frame.push_back(lrc);
  std::string text;
  char digits[4];
  for (uint8_t b : frame) {
    std::snprintf(digits, sizeof digits, "%02X ", b);
    text += digits;
  }
  return text;
}

std::string ReviewRecord(const std::string& command, uint8_t value, const std::string& line) {
  return "Command:  " + HexFrameText(command) + "\r\nResponse:  " + AckAnswerText({value}) +
         "\r\n\r\n" + line;
}

class SettingCommandsTest : public ::testing::Test {
 protected:
  std::string History() const { return reader.controls.Stored(ControlId::HistoryBox); }

  ReaderSession reader;
  SettingCommands commands{reader.controller.Context()};
};

TEST_F(SettingCommandsTest, ReviewsShowTheReadersValuesInWords) {
  reader.controls.SetText(ControlId::CommandBox, "typed by the operator");
  commands.ReviewLanguage();
  EXPECT_EQ(History(), "Command:  02 52 24 03 77 \r\nResponse:  02 06 30 03 37 \r\n\r\n"
                       "\r\nCurrent language setting is English (US)");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "");
  EXPECT_EQ(reader.TakeSentFrames(), std::vector<std::string>{"02 52 24 03 77 "});

  commands.ReviewPollingInterval();
  EXPECT_EQ(History(), ReviewRecord("52 14", 8, "\r\nHID KB polling setting is 8"));
  commands.ReviewTurboSpeed();
  EXPECT_EQ(History(), ReviewRecord("52 12", '0', "\r\nTurbo speed setting is Off"));
}

TEST_F(SettingCommandsTest, EveryLanguageWriteIsSeenByTheNextReview) {
  for (const LanguageEntry& language : kLanguages) {
    reader.prompter.warningAnswers.push_back(DialogOutcome::Accepted);
    ASSERT_TRUE(commands.RunMenuCommand(language.menuId));
    EXPECT_EQ(reader.TakeSentFrames(), std::vector<std::string>{HexFrameText(language.writeCommand)});
    commands.ReviewLanguage();
    EXPECT_EQ(History(), ReviewRecord("52 24", language.value,
                                      std::string("\r\nCurrent language setting is ") + language.name));
    reader.host->ClearTranscript();
  }
  // The warning came before every one of the eleven writes.
  EXPECT_EQ(reader.prompter.warningsShown, 11);
}

struct NumberWrite {
  int menuId;
  int entered;
  const char* writeCommand;
  int reviewMenuId;
  std::string reviewLine;
};

class NumberWriteTest : public SettingCommandsTest,
                        public ::testing::WithParamInterface<NumberWrite> {};

TEST_P(NumberWriteTest, WriteThenReviewRoundTrip) {
  const NumberWrite& w = GetParam();
  reader.prompter.warningAnswers.push_back(DialogOutcome::Accepted);
  reader.prompter.settingAnswers.push_back(w.entered);
  ASSERT_TRUE(commands.RunMenuCommand(w.menuId));
  EXPECT_EQ(reader.TakeSentFrames(), std::vector<std::string>{HexFrameText(w.writeCommand)});
  ASSERT_TRUE(commands.RunMenuCommand(w.reviewMenuId));
  EXPECT_TRUE(History().ends_with("\r\n\r\n" + w.reviewLine)) << History();
  EXPECT_TRUE(reader.prompter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberWriteTest,
    ::testing::Values(
        NumberWrite{menu::SetPollingInterval, 255, "53 14 01 FF", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 255"},
        NumberWrite{menu::SetPollingInterval, 10, "53 14 01 0A", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 10"},
        NumberWrite{menu::SetPollingInterval, 1, "53 14 01 01", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 1"},
        // The turbo write sends the byte 01; the reader reports '1', shown as On.
        NumberWrite{menu::SetTurboSpeed, 1, "53 12 01 01", menu::ReviewTurboSpeed,
                    "\r\nTurbo speed setting is On"},
        NumberWrite{menu::SetTurboSpeed, 0, "53 12 01 00", menu::ReviewTurboSpeed,
                    "\r\nTurbo speed setting is Off"}));

TEST_F(SettingCommandsTest, SettingDialogOpensWithLabelAndInitialValue) {
  reader.prompter.warningAnswers = {DialogOutcome::Accepted, DialogOutcome::Accepted};
  commands.SetPollingInterval();
  commands.SetTurboSpeed();
  ASSERT_EQ(reader.prompter.settingRequests.size(), 2u);
  EXPECT_EQ(reader.prompter.settingRequests[0].label, "Polling Interval (range from 1 to 255):");
  EXPECT_EQ(reader.prompter.settingRequests[0].value, 1);
  EXPECT_EQ(reader.prompter.settingRequests[1].label,
            "             Turbo Speed Setting (0 or 1):");
  EXPECT_EQ(reader.prompter.settingRequests[1].value, 0);
}

// Writes that must not reach the reader: the transcript stays empty, the
// history box keeps its text and the command box what the operator typed.
struct RefusedWrite {
  const char* name;
  int menuId;
  std::vector<DialogOutcome> warning;
  std::vector<std::optional<int>> setting;
  std::vector<ScriptedPrompter::Message> messages;
};

class RefusedWriteTest : public SettingCommandsTest,
                         public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(RefusedWriteTest, NothingIsSent) {
  const RefusedWrite& w = GetParam();
  reader.prompter.warningAnswers.assign(w.warning.begin(), w.warning.end());
  reader.prompter.settingAnswers.assign(w.setting.begin(), w.setting.end());
  reader.controls.SetText(ControlId::HistoryBox, "earlier history\r\n");
  reader.controls.SetText(ControlId::CommandBox, "typed");
  reader.host->ClearTranscript();

  ASSERT_TRUE(commands.RunMenuCommand(w.menuId));
  EXPECT_TRUE(reader.host->Transcript().empty());
  EXPECT_EQ(History(), "earlier history\r\n");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "typed");
  EXPECT_EQ(reader.prompter.messages, w.messages);
}

const ScriptedPrompter::Message kNotCreated{"Dialog box could not be created!", ""};

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedWriteTest,
    ::testing::Values(
        RefusedWrite{"LanguageWarningCancelled", 32862, {DialogOutcome::Cancelled}, {}, {}},
        RefusedWrite{"PollingWarningCancelled", menu::SetPollingInterval, {DialogOutcome::Cancelled}, {}, {}},
        RefusedWrite{"PollingSettingCancelled", menu::SetPollingInterval, {DialogOutcome::Accepted}, {std::nullopt}, {}},
        RefusedWrite{"TurboSettingCancelled", menu::SetTurboSpeed, {DialogOutcome::Accepted}, {std::nullopt}, {}},
        RefusedWrite{"PollingZero", menu::SetPollingInterval, {DialogOutcome::Accepted}, {0},
                     {{"The minimum value of Polling Interval setting is 1", "Error"}}},
        RefusedWrite{"TurboTwo", menu::SetTurboSpeed, {DialogOutcome::Accepted}, {2},
                     {{"The maximum value of Turbo Speed setting is 1", "Error"}}},
        RefusedWrite{"WarningNotCreated", 32855, {DialogOutcome::NotCreated}, {}, {kNotCreated}},
        RefusedWrite{"TurboWarningNotCreated", menu::SetTurboSpeed, {DialogOutcome::NotCreated}, {7},
                     {kNotCreated}}),
    [](const auto& info) { return std::string(info.param.name); });

// A prompter whose setting dialog cannot be created.
class NoSettingDialogPrompter : public ScriptedPrompter {
 public:
  DialogOutcome AskSetting(SettingRequest* request) override {
    settingRequests.push_back(*request);
    return DialogOutcome::NotCreated;
  }
};

TEST(SettingDialogNotCreated, TheOperatorChoseNoValueSoNoneIsWritten) {
  ReaderSession reader;
  NoSettingDialogPrompter prompter;
  prompter.warningAnswers = {DialogOutcome::Accepted, DialogOutcome::Accepted};
  UtilityController controller(reader.controls, prompter, reader.session);
  SettingCommands commands(controller.Context());
  reader.host->ClearTranscript();
  commands.SetPollingInterval();
  commands.SetTurboSpeed();
  EXPECT_TRUE(reader.host->Transcript().empty());
  EXPECT_EQ(prompter.messages, (std::vector<ScriptedPrompter::Message>{kNotCreated, kNotCreated}));
}

TEST(ReviewVersion, ShowsTheFirmwareTextAndLeavesTheCommandBox) {
  ReaderSession reader(ReaderSession::Devices{
      R"({"devices": [{"preset": "reader", "version_text": "QV5 FW 1.2"}]})"});
  SettingCommands commands(reader.controller.Context());
  reader.controls.SetText(ControlId::CommandBox, "typed");
  reader.controller.CommandText = "kept";
  EXPECT_FALSE(reader.controller.RouteCommand(menu::ReviewVersion));  // no handler yet
  reader.controller.SetSettingHandler(&commands);
  ASSERT_TRUE(reader.controller.RouteCommand(menu::ReviewVersion));

  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox),
            "Command:  02 52 22 03 71 \r\nResponse:  " +
                AckAnswerText({'Q', 'V', '5', ' ', 'F', 'W', ' ', '1', '.', '2'}) +
                "\r\n\r\nFirmware Version: QV5 FW 1.2");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "typed");
  EXPECT_EQ(reader.controller.CommandText, "kept");
  // The keyboard interface takes no frames; the configuration interface gets it once.
  EXPECT_EQ(reader.TakeSentFrames(), std::vector<std::string>{"02 52 22 03 71 "});
}

TEST(ReviewVersion, LastCharacterShownWhenTheLrcIsZero) {
  // 02 ^ 06 ^ 'A' ^ 'F' ^ 03 is 0: the LRC is trimmed with the trailing zeros.
  ReaderSession reader(
      ReaderSession::Devices{R"({"devices": [{"preset": "reader", "version_text": "AF"}]})"});
  SettingCommands commands(reader.controller.Context());
  commands.ReviewVersion();
  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox),
            "Command:  02 52 22 03 71 \r\nResponse:  02 06 41 46 03 \r\n\r\nFirmware Version: AF");
}

TEST(ReviewLanguage, ReaderHoldingFrench) {
  ReaderSession reader(
      ReaderSession::Devices{R"({"devices": [{"preset": "reader", "language": "7"}]})"});
  SettingCommands commands(reader.controller.Context());
  commands.ReviewLanguage();
  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox),
            ReviewRecord("52 24", 0x37, "\r\nCurrent language setting is French"));
}

TEST_F(SettingCommandsTest, UnknownIdentifiersAreNotHandled) {
  EXPECT_FALSE(commands.RunMenuCommand(menu::About));
  EXPECT_FALSE(commands.RunMenuCommand(32854));
  EXPECT_TRUE(reader.host->Transcript().empty());
}

TEST(SettingCommandsWithoutReader, ReviewsDecodeTheEmptyAnswer) {
  ReaderSession reader("none");
  SettingCommands commands(reader.controller.Context());
  commands.ReviewPollingInterval();
  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox),
            "Command:  02 52 14 03 47 \r\nResponse:  \r\n\r\n\r\nHID KB polling setting is 0");
  commands.ReviewLanguage();
  EXPECT_TRUE(reader.controls.Stored(ControlId::HistoryBox)
                  .ends_with("\r\n\r\n\r\nCurrent language setting is "));
  commands.ReviewVersion();
  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox),
            "Command:  02 52 22 03 71 \r\nResponse:  \r\n\r\nFirmware Version: ");
}

}  // namespace
}  // namespace utility
