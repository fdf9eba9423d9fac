// Simulated HID devices without the host plumbing around them.
//
// A DeviceModel is one simulated USB HID interface: one report descriptor
// (which may hold several top-level collections), its attributes and strings,
// its feature reports, a schedule of input reports and a sink for output
// reports. It answers raw requests the way a device node does; it knows
// nothing of paths, handles or access modes. SimulatedHost wraps models into
// Host/Device objects (one Device per top-level collection); other front ends
// (for example a FUSE server that shows models as hidraw nodes) can serve the
// same models. The models, their loading from presets and files and their
// check are exported for that second front end, whose tests drive Tandril
// and the reader link through the shared library; the rest is the layer's
// own.
//
// Every request returns a Windows system error code (hidhost/errors.h):
// kErrorSuccess, kErrorGenFailure (31, the device refused the request),
// kErrorDeviceNotConnected (1167, the device is unplugged), kErrorOperationAborted
// (995, a read was cancelled) or kErrorInvalidParameter (87, a report ID the
// device does not have). All members are thread-safe.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hidhost/export.h"
#include "hidhost/host.h"

namespace hidhost::sim {

struct InputReportDefinition {
  uint32_t delayMs = 0;       // after the previous report (the first: after the first read)
  std::vector<uint8_t> data;  // byte 0 is the report ID (0 when the device uses none)
};

// What a device is, as a preset or a JSON device file describes it.
struct DeviceDefinition {
  Attributes attributes;
  std::optional<std::wstring> manufacturer, product, serial;  // absent: the request fails
  std::map<uint32_t, std::wstring> indexedStrings;
  std::vector<uint8_t> reportDescriptor;
  // Initial feature reports by report ID, report-ID byte included.
  std::map<uint8_t, std::vector<uint8_t>> featureReports;
  std::vector<InputReportDefinition> inputReports;
  bool repeatInputs = false;
  bool openable = true;
  uint32_t failSetFeature = 0;  // this many first set-feature requests fail with 31
  uint32_t failGetFeature = 0;  // the same for get-feature
  std::optional<uint64_t> unplugAfterMs;  // after Attach()
  std::string transcriptPath;             // empty: no transcript file
};

// Report IDs and lengths of one top-level collection, from the report model.
// One top-level collection of a simulated device. Which reports it has, and
// each one's own length, come from the parser (hid::GetReportLengths).
struct CollectionReports {
  hid::PreparsedPtr preparsed;
  hid::HIDP_CAPS caps{};
};

// The collections of a parsed descriptor, in descriptor order.
std::vector<CollectionReports> DescribeCollections(const hid::ParseResult& parsed);
// The own length of report `reportId` of `type` in the collection that has
// it, ID byte included; 0 when none has it.
size_t ReportLength(const std::vector<CollectionReports>& collections, hid::HIDP_REPORT_TYPE type,
                    uint8_t reportId);

class HIDHOST_API DeviceModel {
 public:
  // The definition must have passed ValidateDeviceDefinition(); the descriptor is parsed
  // here again and the report contents are zero-padded to their lengths.
  explicit DeviceModel(DeviceDefinition definition);
  virtual ~DeviceModel();
  DeviceModel(const DeviceModel&) = delete;
  DeviceModel& operator=(const DeviceModel&) = delete;

  // Starts the device's life on `clock`: the unplug timer runs from now.
  // `keyboard` receives the text the device types (may be empty).
  void Attach(std::shared_ptr<Clock> clock, std::function<void(const std::string&)> keyboard);

  const DeviceDefinition& definition() const { return definition_; }
  bool usesReportIds() const { return usesReportIds_; }
  const std::vector<CollectionReports>& collections() const { return collections_; }

  // False once the unplug time has come.
  bool Present() const;

  // The stored feature report `reportId`, byte 0 included, at its full length.
  uint32_t GetFeature(uint8_t reportId, std::vector<uint8_t>* report);
  // Replaces feature report report[0] (the data is cut or zero-padded to its
  // length).
  uint32_t SetFeature(const uint8_t* report, size_t length);
  // Takes an output report; the model keeps the last ones (OutputsWritten).
  uint32_t WriteOutput(const uint8_t* report, size_t length);

  // Waits for the next scheduled input report whose ID `wanted` accepts
  // (every ID when empty); reports it does not want are dropped. With a
  // VirtualClock a report that is due later moves the clock to its time at
  // once; with another clock the read waits in real time. With nothing left
  // to deliver it waits until `cancelled` is set (995) or the device is
  // unplugged (1167). Whoever sets `cancelled` must call WakeReaders().
  uint32_t ReadInput(std::vector<uint8_t>* report, const std::atomic<bool>& cancelled,
                     const std::function<bool(uint8_t)>& wanted = {});
  void WakeReaders();

  enum class StringKind { Manufacturer, Product, Serial, Indexed };
  // 31 when the device has no such string, 1167 when unplugged.
  uint32_t GetString(StringKind kind, uint32_t index, std::wstring* out) const;

  // The output reports written so far, oldest first (at most the last 64).
  std::vector<std::vector<uint8_t>> OutputsWritten() const;

  // The length of feature/input report `reportId` (0 when the device has none).
  size_t FeatureLength(uint8_t reportId) const;
  size_t InputLength(uint8_t reportId) const;

 protected:
  // Device behaviour behind the feature requests, called with the model's
  // lock held after the generic checks (presence, fault injection). The
  // defaults read and replace the stored report.
  virtual uint32_t OnGetFeature(uint8_t reportId, std::vector<uint8_t>* report);
  virtual uint32_t OnSetFeature(const std::vector<uint8_t>& report);
  // Queues text for the keyboard; it is typed once the request returns.
  void Type(const std::string& text);
  std::map<uint8_t, std::vector<uint8_t>>& featureStore() { return features_; }

 private:
  bool PresentLocked() const;
  void Log(const std::string& line);
  void FlushTyping(std::unique_lock<std::mutex>& lock);
  std::optional<uint64_t> UnplugAt() const;

  DeviceDefinition definition_;
  bool usesReportIds_ = false;
  std::vector<CollectionReports> collections_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<Clock> clock_;
  std::function<void(const std::string&)> keyboard_;
  uint64_t attachedAt_ = 0;
  std::map<uint8_t, std::vector<uint8_t>> features_;
  uint32_t setFailuresLeft_ = 0, getFailuresLeft_ = 0;
  std::optional<uint64_t> inputDue_;  // due time of inputReports[nextInput_]
  size_t nextInput_ = 0;
  std::vector<std::vector<uint8_t>> outputs_;
  std::string typing_;
  std::ofstream transcript_;
};

// Checks a definition and completes it: parses the descriptor, checks the report
// IDs and lengths of the given reports and zero-pads them. Returns an empty
// text when the definition is good, otherwise "<field>: <what is wrong>".
HIDHOST_API std::string ValidateDeviceDefinition(DeviceDefinition* definition);

// The models of a preset name or JSON device file, in enumeration order.
// On error: an empty list and *error = one line naming the source and field.
HIDHOST_API std::vector<std::shared_ptr<DeviceModel>> LoadDeviceModels(
    const std::string& presetOrPath, std::string* error);
std::vector<std::shared_ptr<DeviceModel>> LoadDeviceModelsFromJson(
    const std::string& jsonText, const std::string& sourceName, std::string* error);

}  // namespace hidhost::sim
