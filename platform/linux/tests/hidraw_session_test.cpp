// A current-generation reader through the hidraw backend: the reader link
// scans the emulated tree, past a keyboard and a mouse that only root may
// open, writes framed commands in feature reports and reads the answers,
// exactly as it does on the simulated host.
#include <gtest/gtest.h>

#include "reader_link/command_codec.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"
#include "tree_fixture.h"

namespace hidhost::hidraw::testing {
namespace {

// Every answer of one command sent to every reader interface of `host`.
std::vector<std::string> Send(std::shared_ptr<Host> host, const std::vector<uint8_t>& command) {
  InstallHost(host);
  const std::vector<uint8_t> frame = readerlink::BuildHexFrame(command);
  std::vector<std::string> answers;
  readerlink::ScanAndExchange([&](readerlink::ReaderDevice& reader, const readerlink::ReaderInterface&) {
    const readerlink::InterfaceExchange result = reader.Exchange(frame);
    if (result.answered) answers.push_back(readerlink::HexBytesText(result.answer));
  }, {});
  InstallHost(nullptr);
  return answers;
}

using ReaderSession = TreeTest;

TEST_F(ReaderSession, ReviewAndWriteGiveTheSameAnswersAsOnTheSimulatedHost) {
  std::string error;
  auto models = sim::LoadDeviceModels("reader", &error);
  ASSERT_EQ(error, "");
  ASSERT_EQ(models.size(), 2u);
  AddRootOnlyKeyboardAndMouse();
  for (uint32_t i = 0; i < models.size(); ++i) {
    models[i]->Attach(clock_, {});
    Add(2 + i, models[i]);
  }
  auto simulated = sim::SimulatedHost::Create("reader", std::make_shared<sim::VirtualClock>());

  const std::vector<std::vector<uint8_t>> session = {
      {0x52, 0x24},              // review the keyboard language
      {0x53, 0x24, 0x01, 0x33},  // write it
      {0x52, 0x24},              // and review it again
  };
  std::vector<std::vector<std::string>> answers;
  for (const auto& command : session) {
    const auto overHidraw = Send(host_, command);
    ASSERT_FALSE(overHidraw.empty()) << "no reader answered through the hidraw backend";
    EXPECT_EQ(overHidraw, Send(simulated, command));
    answers.push_back(overHidraw);
  }
  EXPECT_NE(answers[0], answers[2]) << "the language written did not show in the review";

  // Every request reached the configuration node as one whole 9-byte report.
  const auto requests = tree_->Node(3)->Requests();
  ASSERT_FALSE(requests.empty());
  for (const std::string& request : requests) {
    EXPECT_TRUE(request == "SET_FEATURE len 9" || request == "GET_FEATURE len 9") << request;
  }
}

}  // namespace
}  // namespace hidhost::hidraw::testing
