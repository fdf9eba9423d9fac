#include "sim_interface_device.h"

#include <algorithm>
#include <cstring>

#include "text/hex_text.h"
#include "text/wide_text.h"
#include "wide_copy.h"

namespace hidhost::sim {

namespace {
bool Fails(uint32_t error) {
  SetLastError(error);
  return false;
}
}  // namespace

SimInterfaceDevice::SimInterfaceDevice(std::shared_ptr<DeviceModel> model, size_t collection,
                                       std::string path, Access access,
                                       std::shared_ptr<HostState> state)
    : model_(std::move(model)),
      reports_(model_->collections()[collection]),
      path_(std::move(path)),
      access_(access),
      state_(std::move(state)) {}

SimInterfaceDevice::~SimInterfaceDevice() {
  CancelRead();
  std::unique_lock<std::mutex> lock(readMutex_);
  readDone_.wait(lock, [this] { return activeReads_ == 0; });
}

// Records a request that reached the device (failed ones included, but not
// those of an unplugged device) and reports its outcome.
bool SimInterfaceDevice::Finish(uint32_t error, const std::string& line) {
  if (error != kErrorDeviceNotConnected) state_->Record(path_, line);
  if (error != kErrorSuccess) return Fails(error);
  return true;
}

bool SimInterfaceDevice::GetAttributes(Attributes* out) {
  if (out == nullptr) return Fails(kErrorInvalidParameter);
  if (!model_->Present()) return Fails(kErrorDeviceNotConnected);
  *out = model_->definition().attributes;
  return true;
}

hid::PreparsedPtr SimInterfaceDevice::GetPreparsedData() {
  if (!model_->Present()) {
    SetLastError(kErrorDeviceNotConnected);
    return nullptr;
  }
  return reports_.preparsed;
}

bool SimInterfaceDevice::RequestId(const uint8_t* report, size_t length, size_t minLength,
                                   hid::HIDP_REPORT_TYPE type, uint8_t* id) const {
  if (report == nullptr || minLength == 0 || length < minLength) return Fails(kErrorInvalidParameter);
  *id = model_->usesReportIds() ? report[0] : 0;
  if (hid::GetReportByteLength(type, *id, reports_.preparsed.get()) == 0) return Fails(kErrorInvalidParameter);
  return true;
}

bool SimInterfaceDevice::GetFeature(uint8_t* report, size_t length) {
  uint8_t id = 0;
  if (!RequestId(report, length, reports_.caps.FeatureReportByteLength, hid::HidP_Feature, &id)) {
    return false;
  }
  std::vector<uint8_t> data;
  uint32_t error = model_->GetFeature(id, &data);
  if (error == kErrorSuccess) {
    std::memset(report, 0, length);
    std::memcpy(report, data.data(), std::min(length, data.size()));
  }
  return Finish(error, "GET_FEATURE " + std::to_string(id));
}

bool SimInterfaceDevice::SetFeature(const uint8_t* report, size_t length) {
  uint8_t id = 0;
  if (!RequestId(report, length, reports_.caps.FeatureReportByteLength, hid::HidP_Feature, &id)) {
    return false;
  }
  std::vector<uint8_t> data(report, report + length);
  data[0] = id;  // a device without report IDs ignores byte 0
  uint32_t error = model_->SetFeature(data.data(), data.size());
  return Finish(error, "SET_FEATURE " + FormatHexBytes(data.data(), data.size()));
}

bool SimInterfaceDevice::WriteOutput(const uint8_t* report, size_t length) {
  if (access_ != Access::ReadWrite) return Fails(kErrorAccessDenied);
  uint8_t id = 0;
  if (!RequestId(report, length, reports_.caps.OutputReportByteLength, hid::HidP_Output, &id)) {
    return false;
  }
  std::vector<uint8_t> data(report, report + length);
  data[0] = id;
  uint32_t error = model_->WriteOutput(data.data(), data.size());
  return Finish(error, "OUTPUT " + FormatHexBytes(data.data(), data.size()));
}

bool SimInterfaceDevice::ReadInput(uint8_t* report, size_t length, size_t* received) {
  if (received != nullptr) *received = 0;
  if (access_ != Access::ReadWrite) return Fails(kErrorAccessDenied);
  const size_t inputLength = reports_.caps.InputReportByteLength;
  if (report == nullptr || inputLength == 0 || length < inputLength) {
    return Fails(kErrorInvalidParameter);
  }
  {
    std::lock_guard<std::mutex> lock(readMutex_);
    ++activeReads_;
  }
  // With several collections on one device, each reads only its own reports.
  std::function<bool(uint8_t)> wanted;
  if (model_->collections().size() > 1) {
    hid::PHIDP_PREPARSED_DATA pp = reports_.preparsed.get();
    wanted = [pp](uint8_t id) { return hid::GetReportByteLength(hid::HidP_Input, id, pp) != 0; };
  }
  std::vector<uint8_t> data;
  uint32_t error = model_->ReadInput(&data, cancelled_, wanted);
  bool ok;
  if (error == kErrorSuccess) {
    std::memset(report, 0, inputLength);
    std::memcpy(report, data.data(), std::min(inputLength, data.size()));
    if (received != nullptr) *received = inputLength;
    ok = Finish(error, "INPUT " + FormatHexBytes(data.data(), data.size()));
  } else {
    ok = Fails(error);
  }
  {
    // Notified under the lock: once it is released the destructor may run.
    std::lock_guard<std::mutex> lock(readMutex_);
    --activeReads_;
    readDone_.notify_all();
  }
  return ok;
}

void SimInterfaceDevice::CancelRead() {
  cancelled_.store(true);
  model_->WakeReaders();
}

bool SimInterfaceDevice::String(DeviceModel::StringKind kind, uint32_t index, wchar_t* buffer,
                                size_t bytes) {
  if (buffer == nullptr) return Fails(kErrorInvalidParameter);
  std::wstring text;
  uint32_t error = model_->GetString(kind, index, &text);
  if (error != kErrorSuccess) return Fails(error);
  return CopyWideString(text, buffer, bytes);
}

bool SimInterfaceDevice::GetManufacturerString(wchar_t* buffer, size_t bytes) {
  return String(DeviceModel::StringKind::Manufacturer, 0, buffer, bytes);
}
bool SimInterfaceDevice::GetProductString(wchar_t* buffer, size_t bytes) {
  return String(DeviceModel::StringKind::Product, 0, buffer, bytes);
}
bool SimInterfaceDevice::GetSerialNumberString(wchar_t* buffer, size_t bytes) {
  return String(DeviceModel::StringKind::Serial, 0, buffer, bytes);
}
bool SimInterfaceDevice::GetIndexedString(uint32_t index, wchar_t* buffer, size_t bytes) {
  return String(DeviceModel::StringKind::Indexed, index, buffer, bytes);
}

}  // namespace hidhost::sim
