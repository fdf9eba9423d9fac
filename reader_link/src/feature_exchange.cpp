// Command frames to the reader and answers back, through feature reports with
// report ID 0: byte 0 of every report is the ID, bytes 1 to p carry data,
// where p is the feature report length less one.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "reader_link/reader_device.h"

namespace readerlink {

namespace {

// A zero-filled report buffer, or null when it cannot be allocated.
std::unique_ptr<uint8_t[]> AllocateReport(uint32_t reportLength) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[reportLength]());
}

uint64_t ReportCount(uint32_t length, uint32_t payload) {
  return (static_cast<uint64_t>(length) + payload - 1) / payload;
}

}  // namespace

uint32_t ReaderDevice::FeatureReportLength() const {
  if (!caps_ || !handle_) return 0;
  return caps_->FeatureReportByteLength;
}

void ReaderDevice::FillReport(const uint8_t* frame, uint32_t length, uint64_t index,
                              uint8_t* report, uint32_t reportLength) {
  const uint32_t payload = reportLength - 1;
  std::memset(report, 0, reportLength);
  const uint64_t offset = index * payload;
  const uint64_t take = std::min<uint64_t>(payload, length - offset);
  std::memcpy(report + 1, frame + offset, static_cast<size_t>(take));
}

bool ReaderDevice::WriteReport(const uint8_t* report, uint32_t reportLength) {
  for (uint32_t attempt = 0; attempt < kWriteAttempts; ++attempt) {
    if (handle_->SetFeature(report, reportLength)) return true;
    hidhost::SleepMs(kWriteRetryWaitMs);
  }
  return false;
}

bool ReaderDevice::ExchangeFrame(const uint8_t* frame, uint32_t length, uint8_t* answer,
                                 uint32_t* count) {
  frameWritten_ = false;
  if (!count) return false;
  const uint32_t capacity = *count;
  *count = 0;
  const uint32_t reportLength = FeatureReportLength();
  // A report below 2 bytes has no room for frame bytes (a reader's keyboard
  // interface has no feature report at all).
  if (reportLength < 2) return false;
  if ((!frame && length > 0) || (!answer && capacity > 0)) return false;
  std::unique_ptr<uint8_t[]> report = AllocateReport(reportLength);
  if (!report) return false;
  const uint32_t payload = reportLength - 1;

  const uint64_t reports = ReportCount(length, payload);
  for (uint64_t i = 0; i < reports; ++i) {
    FillReport(frame, length, i, report.get(), reportLength);
    if (!WriteReport(report.get(), reportLength)) return false;
  }
  frameWritten_ = true;

  hidhost::SleepMs(kAnswerWaitMs);

  // The answer's length is not announced: every one of the reads is taken,
  // and everything from the first non-empty report on is kept. Empty reports
  // that no longer fit are dropped: only data the buffer cannot hold makes
  // the answer overflow, so a reader with long reports, whose answer is
  // followed by 90-odd empty ones, is still heard.
  uint32_t received = 0;
  bool started = false;
  bool result = false;
  for (uint32_t read = 0; read < kPollReads; ++read) {
    std::memset(report.get(), 0, reportLength);
    result = handle_->GetFeature(report.get(), reportLength);
    const bool hasData = result && std::any_of(report.get() + 1, report.get() + reportLength,
                                               [](uint8_t b) { return b != 0; });
    started = started || hasData;
    const bool fits = static_cast<uint64_t>(received) + payload <= capacity;
    if (hasData && !fits) {
      result = false;
      break;
    }
    if (started && fits) {
      std::memcpy(answer + received, report.get() + 1, payload);
      received += payload;
    }
    hidhost::SleepMs(kPollWaitMs);
  }
  *count = received;
  return result;
}

InterfaceExchange ReaderDevice::Exchange(std::span<const uint8_t> frame, uint32_t capacity) {
  InterfaceExchange result;
  result.path = devicePath_;
  // A frame must fit the command buffer; a longer one is refused whole
  // rather than cut, so the reader never sees a truncated command.
  if (handle_ && frame.size() <= kCommandBufferBytes) {
    std::vector<uint8_t> answer(capacity);
    uint32_t count = capacity;
    result.answered = ExchangeFrame(frame.data(), static_cast<uint32_t>(frame.size()),
                                    answer.data(), &count);
    result.written = frameWritten_;
    const std::span<const uint8_t> heard = WithoutPadding(std::span(answer).first(count));
    result.answer.assign(heard.begin(), heard.end());
  }
  Close();
  return result;
}

bool ReaderDevice::SendFrame(const uint8_t* frame, uint32_t length) {
  const uint32_t reportLength = FeatureReportLength();
  if (!handle_ || !caps_) return false;
  bool accepted = false;
  std::unique_ptr<uint8_t[]> report;
  if (reportLength >= 2 && (frame || length == 0)) report = AllocateReport(reportLength);
  if (report) {
    const uint64_t reports = ReportCount(length, reportLength - 1);
    for (uint64_t i = 0; i < reports; ++i) {
      FillReport(frame, length, i, report.get(), reportLength);
      accepted = WriteReport(report.get(), reportLength);
    }
  }
  report.reset();
  Close();
  return accepted;
}

}  // namespace readerlink
