// File > Save History to File: the file holds exactly what the history box
// shows, and every way the file cannot be written says so.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialog_fixture.h"
#include "utility/command_sender.h"
#include "utility/history_saver.h"

namespace utility::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class SaveHistoryTest : public DialogTest {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("pelorin_history_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    Start("reader");
    WaitForCommandPanel();
  }
  void TearDown() override {
    DialogTest::TearDown();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  void SaveTo(const std::optional<fs::path>& path) {
    prompter.fileAnswers.push_back(path ? std::optional<std::string>(path->string()) : std::nullopt);
    TriggerMenu(menu::SaveHistory);
  }
  void SendTyped(const std::string& text) {
    TypeCommand(text);
    Click(ControlId::SendCommand);
  }

  fs::path folder;
};

TEST_F(SaveHistoryTest, ThreeTypedCommandsAreSavedNewestFirstByteForByte) {
  SendTyped("R1");
  SendTyped("xy");
  SendTyped("a b");
  SaveTo(folder / "history.txt");
  EXPECT_EQ(ReadBytes(folder / "history.txt"), "a b\r\nxy\r\nR1\r\n");
  EXPECT_TRUE(prompter.messages.empty());
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_TRUE(prompter.fileRequests[0].save);
  EXPECT_EQ(prompter.fileRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
  EXPECT_EQ(prompter.fileRequests[0].defaultExtension, ".txt");
}

TEST_F(SaveHistoryTest, AfterAHexCommandTheFileHoldsItsRecordInstead) {
  SendTyped("R1");
  TypeCommand("52 24");
  dialog->SendHexCommand();
  const std::string record = Text(ControlId::HistoryBox);
  ASSERT_EQ(record.rfind("Command:  02 52 24 03 77 \r\nResponse:  ", 0), 0u);
  SaveTo(folder / "record.txt");
  EXPECT_EQ(ReadBytes(folder / "record.txt"), record);
}

TEST_F(SaveHistoryTest, SavingOverAFileReplacesItWithoutAQuestion) {
  {
    std::ofstream old(folder / "old.txt", std::ios::binary);
    old << "a much longer text that was there before\r\n";
  }
  SendTyped("R1");
  SaveTo(folder / "old.txt");
  EXPECT_EQ(ReadBytes(folder / "old.txt"), "R1\r\n");
  EXPECT_TRUE(prompter.messages.empty());
}

struct FailureCase {
  const char* name;
  bool cancelled;
  const char* relativePath;  // under the test's folder
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }


class SaveHistoryFailureTest : public SaveHistoryTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveHistoryFailureTest, SaysTheFileCouldNotBeOpenedAndWritesNothing) {
  SendTyped("R1");
  if (GetParam().cancelled) {
    SaveTo(std::nullopt);
  } else {
    SaveTo(folder / GetParam().relativePath);
  }
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (ScriptedPrompter::Message{"Error: Fail to open the file", "Error"}));
  EXPECT_TRUE(fs::is_empty(folder));
}

INSTANTIATE_TEST_SUITE_P(Failures, SaveHistoryFailureTest,
                         ::testing::Values(FailureCase{"Cancelled", true, ""},
                                           FailureCase{"MissingFolder", false, "no/such/folder/h.txt"},
                                           FailureCase{"PathIsAFolder", false, "."}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace utility::testing
