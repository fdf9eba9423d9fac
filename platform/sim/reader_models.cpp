#include "reader_models.h"

#include "reader_state.h"

namespace hidhost::sim {

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kCr = 0x0D;
constexpr size_t kMaxFrame = 1024;   // a longer frame is refused and forgotten
constexpr size_t kMaxSetupLine = 256;

constexpr uint8_t kReview = 0x52;
constexpr uint8_t kWrite = 0x53;
constexpr uint8_t kVersion = 0x22;
constexpr uint8_t kLanguage = 0x24;
constexpr uint8_t kPolling = 0x14;
constexpr uint8_t kTurbo = 0x12;

uint8_t Lrc(const std::vector<uint8_t>& bytes, size_t count) {
  uint8_t lrc = 0;
  for (size_t i = 0; i < count; ++i) lrc ^= bytes[i];
  return lrc;
}

}  // namespace

std::string ReplyLine(const std::string& text) { return text + " OK\r"; }

ReaderConfigModel::ReaderConfigModel(DeviceDefinition definition, const ReaderOptions& options)
    : DeviceModel(std::move(definition)), options_(options) {}

uint32_t ReaderConfigModel::OnSetFeature(const std::vector<uint8_t>& report) {
  // A write that starts with STX right after a report that ended in zero
  // padding begins a new frame: the one before it never ended.
  if (collecting_ && report.size() > 1 && report[1] == kStx && !frame_.empty() &&
      frame_.back() == 0) {
    collecting_ = false;
  }
  for (size_t i = 1; i < report.size(); ++i) TakeByte(report[i]);
  if (collecting_) CheckFrameEnd();
  return kErrorSuccess;
}

void ReaderConfigModel::TakeByte(uint8_t b) {
  if (!collecting_) {
    if (b == kStx) {  // zero padding and noise between frames are ignored
      collecting_ = true;
      frame_.assign(1, kStx);
    }
    return;
  }
  frame_.push_back(b);
}

// The frame has ended when its last non-zero byte is the LRC after an ETX
// (or the ETX itself, when the LRC is 0). Zero bytes may also be data, so a
// frame that does not check out yet is kept open, unless zero padding after
// an ETX and LRC shows that the writer has finished it.
void ReaderConfigModel::CheckFrameEnd() {
  size_t last = frame_.size() - 1;
  while (last > 0 && frame_[last] == 0) --last;
  std::vector<size_t> etxCandidates;  // where the ETX may stand
  if (last >= 2 && frame_[last - 1] == kEtx) etxCandidates.push_back(last - 1);
  if (last >= 1 && frame_[last] == kEtx && last + 1 < frame_.size()) etxCandidates.push_back(last);
  bool paddedEnd = false;
  for (size_t etx : etxCandidates) {
    if (Lrc(frame_, etx + 1) == frame_[etx + 1]) {
      std::vector<uint8_t> payload(frame_.begin() + 1, frame_.begin() + static_cast<std::ptrdiff_t>(etx));
      collecting_ = false;
      Answer(payload);
      return;
    }
    if (etx + 2 < frame_.size()) paddedEnd = true;
  }
  if (paddedEnd || frame_.size() > kMaxFrame) {
    collecting_ = false;
    QueueAnswer({}, false);
  }
}

void ReaderConfigModel::Answer(const std::vector<uint8_t>& payload) {
  if (!payload.empty() && payload.back() == kCr) {
    std::string text(payload.begin(), payload.end() - 1);
    if (text.size() >= 2 && text[1] == 'Y') Type(ReplyLine(text));
    QueueAnswer({}, true);
    return;
  }
  if (payload.size() == 2 && payload[0] == kReview) {
    switch (payload[1]) {
      case kLanguage: return QueueAnswer({options_.language}, true);
      case kPolling: return QueueAnswer({options_.pollingInterval}, true);
      case kTurbo: return QueueAnswer({options_.turboSpeed}, true);
      case kVersion:
        return QueueAnswer(std::vector<uint8_t>(options_.versionText.begin(),
                                                options_.versionText.end()),
                           true);
      default: break;
    }
  } else if (payload.size() == 4 && payload[0] == kWrite && payload[2] == 0x01) {
    return QueueAnswer({}, StoreSetting(payload[1], payload[3]));
  }
  QueueAnswer({}, false);
}

// A setting write: true when the value is valid, the reader has writes left
// and, with a state file, the new state reached it. Anything else changes
// nothing.
bool ReaderConfigModel::StoreSetting(uint8_t function, uint8_t value) {
  ReaderOptions next = options_;
  switch (function) {
    case kLanguage:
      if (value < '0' || value > ':') return false;
      next.language = value;
      break;
    case kPolling:
      if (value == 0) return false;
      next.pollingInterval = value;
      break;
    case kTurbo:
      if (value == 0 || value == '0') next.turboSpeed = '0';
      else if (value == 1 || value == '1') next.turboSpeed = '1';
      else return false;
      break;
    default: return false;
  }
  if (options_.writes >= kReaderWriteLimit) return false;
  ++next.writes;
  std::string error;
  if (!options_.stateFile.empty() && !SaveReaderState(options_.stateFile, next, &error)) return false;
  options_ = std::move(next);
  return true;
}

// Queues 02 06 <data> 03 LRC (or 02 15 03 LRC) as feature reports of the
// interface's length, readable after the configured number of empty reads.
void ReaderConfigModel::QueueAnswer(const std::vector<uint8_t>& data, bool ack) {
  std::vector<uint8_t> frame{kStx, ack ? kAck : kNak};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kEtx);
  frame.push_back(Lrc(frame, frame.size()));
  const size_t length = FeatureLength(0);
  const size_t perReport = length - 1;
  answer_.clear();
  for (size_t at = 0; at < frame.size(); at += perReport) {
    std::vector<uint8_t> report(length, 0);
    for (size_t i = 0; i < perReport && at + i < frame.size(); ++i) report[1 + i] = frame[at + i];
    answer_.push_back(std::move(report));
  }
  readsBeforeAnswer_ = options_.answerDelayReads;
}

uint32_t ReaderConfigModel::OnGetFeature(uint8_t reportId, std::vector<uint8_t>* report) {
  // A read while a frame is still open means the writer has finished with
  // it: the frame never checked out.
  if (collecting_) {
    collecting_ = false;
    QueueAnswer({}, false);
  }
  report->assign(FeatureLength(reportId), 0);
  if (readsBeforeAnswer_ > 0) {
    --readsBeforeAnswer_;
  } else if (!answer_.empty()) {
    *report = std::move(answer_.front());
    answer_.pop_front();
  }
  return kErrorSuccess;
}

uint32_t LegacySetupModel::OnSetFeature(const std::vector<uint8_t>& report) {
  featureStore()[report[0]] = report;
  const char c = static_cast<char>(report.size() > 1 ? report[1] : 0);
  if (c == '\r') {
    Type(ReplyLine(line_));
    line_.clear();
  } else if (line_.size() < kMaxSetupLine) {
    line_ += c;
  }
  return kErrorSuccess;
}

}  // namespace hidhost::sim
