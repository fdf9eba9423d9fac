// The simulated card readers: the configuration interface of the current
// generation (framed commands in feature reports) and the setup interface of
// the older generation (one character per feature report).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "hidhost/sim_device.h"

namespace hidhost::sim {

// Settings and behaviour of a current-generation reader.
struct ReaderOptions {
  size_t featureReportLength = 9;  // report-ID byte included
  uint8_t language = '0';          // '0' to ':'
  uint8_t pollingInterval = 8;     // 1 to 255
  uint8_t turboSpeed = '0';        // '0' or '1'
  std::string versionText = "KAVRO KB V2.15";
  uint32_t answerDelayReads = 3;   // empty get-feature reads before an answer
  uint32_t writes = 0;             // setting writes taken so far
  std::string stateFile;           // empty: the settings last as long as the model
};

// A reader takes this many setting writes; it refuses every one after them.
constexpr uint32_t kReaderWriteLimit = 254;

// The configuration interface of the current reader. It collects frames
// (STX payload ETX LRC) from the reports written to it and answers each
// complete frame through the feature reports read after it.
class ReaderConfigModel : public DeviceModel {
 public:
  ReaderConfigModel(DeviceDefinition definition, const ReaderOptions& options);

 protected:
  uint32_t OnGetFeature(uint8_t reportId, std::vector<uint8_t>* report) override;
  uint32_t OnSetFeature(const std::vector<uint8_t>& report) override;

 private:
  void TakeByte(uint8_t b);
  void CheckFrameEnd();
  void Answer(const std::vector<uint8_t>& payload);
  void QueueAnswer(const std::vector<uint8_t>& data, bool ack);
  bool StoreSetting(uint8_t function, uint8_t value);

  ReaderOptions options_;
  bool collecting_ = false;
  std::vector<uint8_t> frame_;  // from STX on, while collecting
  std::deque<std::vector<uint8_t>> answer_;  // feature reports still to be read
  uint32_t readsBeforeAnswer_ = 0;
};

// The setup interface of the older reader: the characters written to its
// 8-bit setup item are collected until a carriage return; the reader then
// types a reply line on its keyboard.
class LegacySetupModel : public DeviceModel {
 public:
  explicit LegacySetupModel(DeviceDefinition definition) : DeviceModel(std::move(definition)) {}

 protected:
  uint32_t OnSetFeature(const std::vector<uint8_t>& report) override;

 private:
  std::string line_;
};

// The line a reader types to confirm a command: the text and " OK", then CR.
std::string ReplyLine(const std::string& text);

}  // namespace hidhost::sim
