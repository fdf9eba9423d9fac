// The current reader's state file: settings kept from one program run to the
// next, the write limit, and clear errors for a state file that is no good.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim_test_support.h"

namespace hidhost::sim::testing {
namespace {

namespace fs = std::filesystem;

const char* kAck = "02 06 03 07";
const char* kNak = "02 15 03 14";

class StateFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("sim_reader_state_" + std::string(
        ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A program run: the device file loaded anew, as each run of a program does.
  std::shared_ptr<SimulatedHost> Load(const std::string& readerFields, std::string* error) {
    std::ofstream(dir_ / "devices.json")
        << R"({"devices": [{"preset": "reader", "state_file": "state.json")" << readerFields << "}]}";
    return SimulatedHost::Create((dir_ / "devices.json").string(), std::make_shared<VirtualClock>(), error);
  }
  std::string State() {
    std::ifstream in(dir_ / "state.json");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void WriteState(const std::string& text) { std::ofstream(dir_ / "state.json") << text; }

  fs::path dir_;
};

TEST_F(StateFile, SettingsWrittenInOneRunAreFoundByTheNext) {
  std::string error;
  {
    auto host = Load(R"(, "language": "3", "polling_interval": 2)", &error);
    ASSERT_EQ(error, "");
    // Made at load from the device file's settings.
    EXPECT_EQ(State(), R"({"language":"3","polling_interval":2,"turbo_speed":0,"writes":0})" "\n");
    auto device = OpenConfigInterface(*host, 0x2420);
    ASSERT_TRUE(device);
    EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x24, 0x01, 0x37}))), kAck);
    EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x12, 0x01, 0x01}))), kAck);
    EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x14, 0x01, 0x00}))), kNak);  // refused: not counted
  }
  EXPECT_EQ(State(), R"({"language":"7","polling_interval":2,"turbo_speed":1,"writes":2})" "\n");
  EXPECT_FALSE(fs::exists(dir_ / "state.json.new"));
  // The saved state wins over the device file's own settings.
  auto host = Load(R"(, "language": "3", "polling_interval": 2)", &error);
  ASSERT_EQ(error, "");
  auto device = OpenConfigInterface(*host, 0x2420);
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x24}))), "02 06 37 03 30");
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x12}))), "02 06 31 03 36");
}

TEST_F(StateFile, WritesPastTheLimitAreRefusedAndChangeNothing) {
  WriteState(R"({"language": "1", "writes": 253})");
  std::string error;
  auto host = Load("", &error);
  ASSERT_EQ(error, "");
  auto device = OpenConfigInterface(*host, 0x2420);
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x24, 0x01, 0x32}))), kAck);  // the 254th
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x24, 0x01, 0x35}))), kNak);
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x14, 0x01, 0x04}))), kNak);
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x24}))), "02 06 32 03 35");    // reviews still answer
  EXPECT_EQ(State(), R"({"language":"2","polling_interval":8,"turbo_speed":0,"writes":254})" "\n");
}

TEST_F(StateFile, AWriteTheStateFileCannotTakeIsRefused) {
  std::string error;
  auto host = Load("", &error);
  ASSERT_EQ(error, "");
  auto device = OpenConfigInterface(*host, 0x2420);
  fs::create_directory(dir_ / "state.json.new");  // where the new state would go first
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x53, 0x24, 0x01, 0x37}))), kNak);
  EXPECT_EQ(Hex(Exchange(*device, Frame({0x52, 0x24}))), "02 06 30 03 37");
  EXPECT_EQ(State(), R"({"language":"0","polling_interval":8,"turbo_speed":0,"writes":0})" "\n");
}

TEST_F(StateFile, BadStateFilesAreOneLineNamingTheFieldAndNoDevicesRemain) {
  struct Case {
    const char* content;   // nullptr: state.json is a folder
    const char* message;   // after "<file>: devices[0].state_file: \"<dir>/state.json\""
  };
  const Case cases[] = {
      {"{\"language\": ", ": (file): not valid JSON: parse error"},
      {"[1]", ": (file): expected an object"},
      {R"({"colour": 1})", ": colour: unknown field"},
      {R"({"polling_interval": 0})", ": polling_interval: must be from 1 to 255"},
      {R"({"language": "Z"})", ": language: expected one character"},
      {R"({"writes": -1})", ": writes: expected a whole number"},
      {nullptr, " is not a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    fs::remove_all(dir_ / "state.json");
    if (c.content != nullptr) WriteState(c.content);
    else fs::create_directory(dir_ / "state.json");
    std::string error;
    ::testing::internal::CaptureStderr();
    auto host = Load("", &error);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), error + "\n");
    const std::string prefix = (dir_ / "devices.json").string() + ": devices[0].state_file: \"" +
                               (dir_ / "state.json").string() + "\"" + c.message;
    EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
    EXPECT_TRUE(Paths(*host).empty());
  }
}

TEST_F(StateFile, AStateFileThatCannotBeMadeIsRefusedAtLoad) {
  std::ofstream(dir_ / "devices.json")
      << R"({"devices": [{"preset": "reader", "state_file": "missing-folder/state.json"}]})";
  std::string error;
  ::testing::internal::CaptureStderr();
  auto host = SimulatedHost::Create((dir_ / "devices.json").string(), std::make_shared<VirtualClock>(), &error);
  ::testing::internal::GetCapturedStderr();
  EXPECT_NE(error.find("devices[0].state_file: cannot write"), std::string::npos) << error;
  EXPECT_TRUE(Paths(*host).empty());
}

}  // namespace
}  // namespace hidhost::sim::testing
