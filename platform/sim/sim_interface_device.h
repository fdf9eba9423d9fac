// One open top-level collection of a simulated device: the Device contract
// (access, buffer lengths, report IDs, strings) on top of a DeviceModel.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "hidhost/sim_device.h"
#include "host_state.h"

namespace hidhost::sim {

class SimInterfaceDevice : public Device {
 public:
  SimInterfaceDevice(std::shared_ptr<DeviceModel> model, size_t collection, std::string path,
                     Access access, std::shared_ptr<HostState> state);
  ~SimInterfaceDevice() override;

  bool GetAttributes(Attributes* out) override;
  hid::PreparsedPtr GetPreparsedData() override;
  bool GetFeature(uint8_t* report, size_t length) override;
  bool SetFeature(const uint8_t* report, size_t length) override;
  bool ReadInput(uint8_t* report, size_t length, size_t* received) override;
  void CancelRead() override;
  bool WriteOutput(const uint8_t* report, size_t length) override;
  bool GetManufacturerString(wchar_t* buffer, size_t bytes) override;
  bool GetProductString(wchar_t* buffer, size_t bytes) override;
  bool GetSerialNumberString(wchar_t* buffer, size_t bytes) override;
  bool GetIndexedString(uint32_t index, wchar_t* buffer, size_t bytes) override;

 private:
  // The report ID a request names: byte 0 when the device uses IDs, else 0;
  // the collection must have a report of `type` with that ID. False with 87
  // when the request is refused.
  bool RequestId(const uint8_t* report, size_t length, size_t minLength, hid::HIDP_REPORT_TYPE type,
                 uint8_t* id) const;
  bool Finish(uint32_t error, const std::string& line);
  bool String(DeviceModel::StringKind kind, uint32_t index, wchar_t* buffer, size_t bytes);

  std::shared_ptr<DeviceModel> model_;
  const CollectionReports& reports_;
  std::string path_;
  Access access_;
  std::shared_ptr<HostState> state_;

  std::atomic<bool> cancelled_{false};
  std::mutex readMutex_;
  std::condition_variable readDone_;
  int activeReads_ = 0;
};

}  // namespace hidhost::sim
