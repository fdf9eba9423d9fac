// The setting menu commands against the simulated reader, in virtual time.
#include <gtest/gtest.h>

#include "reader_session.h"
#include "utility/control_ids.h"
#include "utility/setting_commands.h"

namespace utility {
namespace {

using testing::HexFrameText;
using testing::ReaderSession;
using Frames = std::vector<std::string>;

// "Command:  <frame>\r\nResponse:  02 06 <data> 03 LRC \r\n\r\n", then `line`.
std::string Record(const std::string& command, std::vector<uint8_t> data, const std::string& line) {
  std::vector<uint8_t> answer{0x02, 0x06};
  answer.insert(answer.end(), data.begin(), data.end());
  answer.push_back(0x03);
  uint8_t lrc = 0;
  for (uint8_t b : answer) lrc ^= b;
  answer.push_back(lrc);
  std::string text = "Command:  " + HexFrameText(command) + "\r\nResponse:  ";
  for (uint8_t b : answer) text += testing::HexByte(b);
  return text + "\r\n\r\n" + line;
}

struct SettingCommandsTest : ::testing::Test {
  std::string History() const { return reader.controls.Stored(ControlId::HistoryBox); }
  void Run(int menuId) { ASSERT_TRUE(commands.RunMenuCommand(menuId)); }

  ReaderSession reader;
  SettingCommands commands{reader.controller.Context()};
};

TEST_F(SettingCommandsTest, ReviewsShowTheReadersValuesInWords) {
  reader.controls.SetText(ControlId::CommandBox, "typed");
  Run(menu::ReviewLanguage);
  EXPECT_EQ(History(), "Command:  02 52 24 03 77 \r\nResponse:  02 06 30 03 37 \r\n\r\n"
                       "\r\nCurrent language setting is English (US)");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "");
  Run(menu::ReviewPollingInterval);
  EXPECT_EQ(History(), Record("52 14", {8}, "\r\nHID KB polling setting is 8"));
  Run(menu::ReviewTurboSpeed);
  EXPECT_EQ(History(), Record("52 12", {'0'}, "\r\nTurbo speed setting is Off"));
  EXPECT_EQ(reader.TakeSentFrames(), (Frames{"02 52 24 03 77 ", "02 52 14 03 47 ", "02 52 12 03 41 "}));
  EXPECT_FALSE(commands.RunMenuCommand(menu::About));
}

TEST_F(SettingCommandsTest, EveryLanguageWriteIsSeenByTheNextReview) {
  for (const LanguageEntry& language : kLanguages) {
    reader.prompter.warningAnswers.push_back(DialogOutcome::Accepted);
    Run(language.menuId);
    Run(menu::ReviewLanguage);
    EXPECT_EQ(reader.TakeSentFrames(), (Frames{HexFrameText(language.writeCommand), HexFrameText("52 24")}));
    EXPECT_EQ(History(), Record("52 24", {language.value},
                                std::string("\r\nCurrent language setting is ") + language.name));
  }
  EXPECT_EQ(reader.prompter.warningsShown, 11);  // before every write
}

struct NumberWrite {
  int menuId;
  int entered;
  const char* command;
  int reviewId;
  const char* line;
};

// Named by the frame it writes, so that test names stay readable.
void PrintTo(const NumberWrite& w, std::ostream* os) { *os << w.command; }

struct NumberWriteTest : SettingCommandsTest, ::testing::WithParamInterface<NumberWrite> {};

TEST_P(NumberWriteTest, WriteThenReviewRoundTrip) {
  const NumberWrite& w = GetParam();
  reader.prompter.warningAnswers.push_back(DialogOutcome::Accepted);
  reader.prompter.settingAnswers.push_back(w.entered);
  Run(w.menuId);
  Run(w.reviewId);
  EXPECT_EQ(reader.TakeSentFrames().front(), HexFrameText(w.command));
  EXPECT_TRUE(History().ends_with(std::string("\r\n\r\n") + w.line)) << History();
  EXPECT_TRUE(reader.prompter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberWriteTest,
    ::testing::Values(
        NumberWrite{menu::SetPollingInterval, 255, "53 14 01 FF", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 255"},
        NumberWrite{menu::SetPollingInterval, 10, "53 14 01 0A", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 10"},
        // The answer 02 06 07 03 has an LRC of 0, which the exchange trims.
        NumberWrite{menu::SetPollingInterval, 7, "53 14 01 07", menu::ReviewPollingInterval,
                    "\r\nHID KB polling setting is 7"},
        // The turbo write sends the byte 01; the reader reports '1', shown as On.
        NumberWrite{menu::SetTurboSpeed, 1, "53 12 01 01", menu::ReviewTurboSpeed,
                    "\r\nTurbo speed setting is On"},
        NumberWrite{menu::SetTurboSpeed, 0, "53 12 01 00", menu::ReviewTurboSpeed,
                    "\r\nTurbo speed setting is Off"}),
    [](const auto& info) {
      std::string name = "Write";
      for (const char* c = info.param.command; *c != '\0'; ++c)
        if (*c != ' ') name += *c;
      return name;
    });

// A prompter whose setting dialog cannot be created.
struct NoSettingDialog : ScriptedPrompter {
  DialogOutcome AskSetting(SettingRequest* request) override {
    settingRequests.push_back(*request);
    return DialogOutcome::NotCreated;
  }
};

struct RefusedWrite {
  const char* name;
  int menuId;
  DialogOutcome warning;
  std::optional<int> entered;
  bool settingDialogFails;
  std::vector<ScriptedPrompter::Message> messages;
};

struct RefusedWriteTest : ::testing::TestWithParam<RefusedWrite> {};

TEST_P(RefusedWriteTest, NothingReachesTheReader) {
  const RefusedWrite& w = GetParam();
  ReaderSession reader;
  NoSettingDialog failing;
  ScriptedPrompter& prompter = w.settingDialogFails ? failing : reader.prompter;
  UtilityController controller(reader.controls, prompter, reader.session);
  SettingCommands commands(controller.Context());
  prompter.warningAnswers = {w.warning};
  prompter.settingAnswers = {w.entered};
  reader.controls.SetText(ControlId::HistoryBox, "earlier");
  reader.controls.SetText(ControlId::CommandBox, "typed");

  ASSERT_TRUE(commands.RunMenuCommand(w.menuId));
  EXPECT_TRUE(reader.host->Transcript().empty());
  EXPECT_EQ(reader.controls.Stored(ControlId::HistoryBox), "earlier");
  EXPECT_EQ(reader.controls.Stored(ControlId::CommandBox), "typed");
  EXPECT_EQ(prompter.messages, w.messages);
}

const ScriptedPrompter::Message kNotCreated{"Dialog box could not be created!", ""};
constexpr auto kContinue = DialogOutcome::Accepted;

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedWriteTest,
    ::testing::Values(
        RefusedWrite{"WarningCancelled", 32862, DialogOutcome::Cancelled, 5, false, {}},
        RefusedWrite{"SettingCancelled", menu::SetTurboSpeed, kContinue, std::nullopt, false, {}},
        RefusedWrite{"PollingZero", menu::SetPollingInterval, kContinue, 0, false,
                     {{"The minimum value of Polling Interval setting is 1", "Error"}}},
        RefusedWrite{"TurboTwo", menu::SetTurboSpeed, kContinue, 2, false,
                     {{"The maximum value of Turbo Speed setting is 1", "Error"}}},
        RefusedWrite{"WarningNotCreated", menu::SetPollingInterval, DialogOutcome::NotCreated, 5,
                     false, {kNotCreated}},
        RefusedWrite{"SettingNotCreated", menu::SetPollingInterval, kContinue, 5, true, {kNotCreated}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingCommandsTest, SettingDialogOpensWithLabelAndInitialValue) {
  reader.prompter.warningAnswers = {kContinue, kContinue};
  Run(menu::SetPollingInterval);
  Run(menu::SetTurboSpeed);
  ASSERT_EQ(reader.prompter.settingRequests.size(), 2u);
  EXPECT_EQ(reader.prompter.settingRequests[0].label, "Polling Interval (range from 1 to 255):");
  EXPECT_EQ(reader.prompter.settingRequests[0].value, 1);
  EXPECT_EQ(reader.prompter.settingRequests[1].label, "             Turbo Speed Setting (0 or 1):");
  EXPECT_EQ(reader.prompter.settingRequests[1].value, 0);
}

struct DeviceCase {
  const char* name;
  const char* devices;  // JSON device file, or a preset name
  int menuId;
  std::string history;
};

struct DeviceCaseTest : ::testing::TestWithParam<DeviceCase> {};

TEST_P(DeviceCaseTest, HistoryShowsTheExchange) {
  const DeviceCase& c = GetParam();
  auto reader = *c.devices == '{'
                    ? std::make_unique<ReaderSession>(ReaderSession::Devices{c.devices})
                    : std::make_unique<ReaderSession>(c.devices);
  SettingCommands commands(reader->controller.Context());
  ASSERT_TRUE(commands.RunMenuCommand(c.menuId));
  EXPECT_EQ(reader->controls.Stored(ControlId::HistoryBox), c.history);
}

const std::string kVersionHead = "Command:  02 52 22 03 71 \r\nResponse:  ";

INSTANTIATE_TEST_SUITE_P(
    Readers, DeviceCaseTest,
    ::testing::Values(
        DeviceCase{"French", R"({"devices": [{"preset": "reader", "language": "7"}]})",
                   menu::ReviewLanguage, Record("52 24", {0x37}, "\r\nCurrent language setting is French")},
        DeviceCase{"Version", R"({"devices": [{"preset": "reader", "version_text": "QV5 1.2"}]})",
                   menu::ReviewVersion,
                   Record("52 22", {'Q', 'V', '5', ' ', '1', '.', '2'}, "Firmware Version: QV5 1.2")},
        // 02 ^ 06 ^ 'A' ^ 'F' ^ 03 is 0: the LRC goes with the trailing zeros.
        DeviceCase{"VersionWithZeroLrc", R"({"devices": [{"preset": "reader", "version_text": "AF"}]})",
                   menu::ReviewVersion, kVersionHead + "02 06 41 46 03 \r\n\r\nFirmware Version: AF"},
        // Without a reader the digits read are letters of "Response:".
        DeviceCase{"NoReaderPolling", "none", menu::ReviewPollingInterval,
                   "Command:  02 52 14 03 47 \r\nResponse:  \r\n\r\n\r\nHID KB polling setting is 0"},
        DeviceCase{"NoReaderTurbo", "none", menu::ReviewTurboSpeed,
                   "Command:  02 52 12 03 41 \r\nResponse:  \r\n\r\n\r\nTurbo speed setting is "},
        DeviceCase{"NoReaderVersion", "none", menu::ReviewVersion,
                   kVersionHead + "\r\n\r\nFirmware Version: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReviewValue, UnknownValuesHaveNoWords) {
  EXPECT_EQ(ReviewLine(ReviewKind::Language, 0x3B), "\r\nCurrent language setting is ");
  EXPECT_EQ(ReviewLine(ReviewKind::TurboSpeed, 0x01), "\r\nTurbo speed setting is ");
}

}  // namespace
}  // namespace utility
