// The generic simulated device: stored feature reports, an input schedule on
// the host clock, an output sink, strings, fault injection and unplugging.
#include <algorithm>
#include <chrono>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "text/hex_text.h"

namespace hidhost::sim {

namespace {
constexpr size_t kKeptOutputs = 64;
}

std::vector<CollectionReports> DescribeCollections(const hid::ParseResult& parsed) {
  std::vector<CollectionReports> result;
  for (const hid::PreparsedPtr& pp : parsed.collections) {
    CollectionReports c;
    c.preparsed = pp;
    if (hid::HidP_GetCaps(pp.get(), &c.caps) != hid::HIDP_STATUS_SUCCESS) c.caps = {};
    result.push_back(std::move(c));
  }
  return result;
}

size_t ReportLength(const std::vector<CollectionReports>& collections, hid::HIDP_REPORT_TYPE type,
                    uint8_t reportId) {
  for (const CollectionReports& c : collections) {
    if (const size_t length = hid::GetReportByteLength(type, reportId, c.preparsed.get())) return length;
  }
  return 0;
}

DeviceModel::DeviceModel(DeviceDefinition definition) : definition_(std::move(definition)) {
  hid::ParseResult parsed =
      hid::ParseReportDescriptor(definition_.reportDescriptor.data(), definition_.reportDescriptor.size());
  usesReportIds_ = parsed.usesReportIds;
  collections_ = DescribeCollections(parsed);
  for (const CollectionReports& c : collections_) {
    for (const hid::ReportLength& r : hid::GetReportLengths(hid::HidP_Feature, c.preparsed.get())) {
      std::vector<uint8_t> report(r.ByteLength, 0);
      report[0] = r.ReportID;
      features_[r.ReportID] = report;
    }
  }
  for (auto& [id, data] : definition_.featureReports) {
    size_t length = FeatureLength(id);
    if (length == 0) continue;  // ValidateDeviceDefinition refuses these
    std::vector<uint8_t> report = data;
    report.resize(length, 0);
    features_[id] = report;
  }
  // An input report needs at least its report-ID byte.
  std::erase_if(definition_.inputReports, [](const InputReportDefinition& r) { return r.data.empty(); });
  for (InputReportDefinition& input : definition_.inputReports) {
    input.data.resize(std::max(input.data.size(), InputLength(input.data[0])), 0);
  }
  setFailuresLeft_ = definition_.failSetFeature;
  getFailuresLeft_ = definition_.failGetFeature;
}

DeviceModel::~DeviceModel() = default;

void DeviceModel::Attach(std::shared_ptr<Clock> clock,
                         std::function<void(const std::string&)> keyboard) {
  std::lock_guard<std::mutex> lock(mutex_);
  clock_ = std::move(clock);
  keyboard_ = std::move(keyboard);
  attachedAt_ = clock_ ? clock_->NowMs() : 0;
  if (!definition_.transcriptPath.empty() && !transcript_.is_open()) {
    transcript_.open(definition_.transcriptPath, std::ios::out | std::ios::app);
  }
}

std::optional<uint64_t> DeviceModel::UnplugAt() const {
  if (!definition_.unplugAfterMs) return std::nullopt;
  return attachedAt_ + *definition_.unplugAfterMs;
}

bool DeviceModel::PresentLocked() const {
  std::optional<uint64_t> at = UnplugAt();
  return !(at && clock_ && clock_->NowMs() >= *at);
}

bool DeviceModel::Present() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return PresentLocked();
}

size_t DeviceModel::FeatureLength(uint8_t reportId) const {
  return ReportLength(collections_, hid::HidP_Feature, reportId);
}

size_t DeviceModel::InputLength(uint8_t reportId) const {
  return ReportLength(collections_, hid::HidP_Input, reportId);
}

void DeviceModel::Log(const std::string& line) {
  if (transcript_.is_open()) {
    transcript_ << line << '\n';
    transcript_.flush();
  }
}

void DeviceModel::Type(const std::string& text) { typing_ += text; }

void DeviceModel::FlushTyping(std::unique_lock<std::mutex>& lock) {
  if (typing_.empty()) return;
  std::string text = std::move(typing_);
  typing_.clear();
  auto keyboard = keyboard_;
  lock.unlock();
  if (keyboard) keyboard(text);
}

uint32_t DeviceModel::GetFeature(uint8_t reportId, std::vector<uint8_t>* report) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!PresentLocked()) return kErrorDeviceNotConnected;
  if (FeatureLength(reportId) == 0) return kErrorInvalidParameter;
  Log("GET_FEATURE " + std::to_string(reportId));
  if (getFailuresLeft_ > 0) {
    --getFailuresLeft_;
    return kErrorGenFailure;
  }
  uint32_t result = OnGetFeature(reportId, report);
  FlushTyping(lock);
  return result;
}

uint32_t DeviceModel::SetFeature(const uint8_t* report, size_t length) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!PresentLocked()) return kErrorDeviceNotConnected;
  if (report == nullptr || length == 0) return kErrorInvalidParameter;
  const size_t featureLength = FeatureLength(report[0]);
  if (featureLength == 0) return kErrorInvalidParameter;
  Log("SET_FEATURE " + FormatHexBytes(report, length));
  if (setFailuresLeft_ > 0) {
    --setFailuresLeft_;
    return kErrorGenFailure;
  }
  std::vector<uint8_t> data(report, report + std::min(length, featureLength));
  data.resize(featureLength, 0);
  uint32_t result = OnSetFeature(data);
  FlushTyping(lock);
  return result;
}

uint32_t DeviceModel::OnGetFeature(uint8_t reportId, std::vector<uint8_t>* report) {
  *report = features_[reportId];
  return kErrorSuccess;
}

uint32_t DeviceModel::OnSetFeature(const std::vector<uint8_t>& report) {
  features_[report[0]] = report;
  return kErrorSuccess;
}

uint32_t DeviceModel::WriteOutput(const uint8_t* report, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!PresentLocked()) return kErrorDeviceNotConnected;
  if (report == nullptr || length == 0) return kErrorInvalidParameter;
  const size_t outputLength = ReportLength(collections_, hid::HidP_Output, report[0]);
  if (outputLength == 0) return kErrorInvalidParameter;
  Log("OUTPUT " + FormatHexBytes(report, length));
  std::vector<uint8_t> data(report, report + std::min(length, outputLength));
  data.resize(outputLength, 0);
  outputs_.push_back(std::move(data));
  if (outputs_.size() > kKeptOutputs) outputs_.erase(outputs_.begin());
  return kErrorSuccess;
}

std::vector<std::vector<uint8_t>> DeviceModel::OutputsWritten() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return outputs_;
}

uint32_t DeviceModel::ReadInput(std::vector<uint8_t>* report, const std::atomic<bool>& cancelled,
                                const std::function<bool(uint8_t)>& wanted) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!clock_) return kErrorGenFailure;
  auto* virtualClock = dynamic_cast<VirtualClock*>(clock_.get());
  const std::vector<InputReportDefinition>& inputs = definition_.inputReports;
  // A reader that wants none of the scheduled reports waits as if none were
  // scheduled, instead of spinning through them.
  const bool anyWanted =
      !wanted || std::any_of(inputs.begin(), inputs.end(),
                             [&](const InputReportDefinition& r) { return wanted(r.data[0]); });
  for (;;) {
    if (cancelled.load()) return kErrorOperationAborted;
    if (!PresentLocked()) return kErrorDeviceNotConnected;
    const uint64_t now = clock_->NowMs();
    if (!inputDue_ && nextInput_ == 0 && !inputs.empty()) inputDue_ = now + inputs[0].delayMs;
    std::optional<uint64_t> due;
    if (anyWanted && nextInput_ < inputs.size()) due = inputDue_;
    if (due && *due <= now) {
      const std::vector<uint8_t>& data = inputs[nextInput_].data;
      ++nextInput_;
      if (nextInput_ == inputs.size() && definition_.repeatInputs) nextInput_ = 0;
      if (nextInput_ < inputs.size()) inputDue_ = *due + inputs[nextInput_].delayMs;
      if (wanted && !wanted(data[0])) continue;
      Log("INPUT " + FormatHexBytes(data.data(), data.size()));
      *report = data;
      return kErrorSuccess;
    }
    std::optional<uint64_t> next = due;
    std::optional<uint64_t> unplug = UnplugAt();
    if (unplug && (!next || *unplug < *next)) next = unplug;
    if (next && virtualClock != nullptr) {
      virtualClock->AdvanceTo(*next);
    } else if (next) {
      wake_.wait_for(lock, std::chrono::milliseconds(*next - now));
    } else {
      wake_.wait(lock);
    }
  }
}

void DeviceModel::WakeReaders() {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_.notify_all();
}

uint32_t DeviceModel::GetString(StringKind kind, uint32_t index, std::wstring* out) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!PresentLocked()) return kErrorDeviceNotConnected;
  const std::optional<std::wstring>* text = nullptr;
  switch (kind) {
    case StringKind::Manufacturer: text = &definition_.manufacturer; break;
    case StringKind::Product: text = &definition_.product; break;
    case StringKind::Serial: text = &definition_.serial; break;
    case StringKind::Indexed: {
      auto it = definition_.indexedStrings.find(index);
      if (it == definition_.indexedStrings.end()) return kErrorGenFailure;
      *out = it->second;
      return kErrorSuccess;
    }
  }
  if (text == nullptr || !*text) return kErrorGenFailure;
  *out = **text;
  return kErrorSuccess;
}

}  // namespace hidhost::sim
