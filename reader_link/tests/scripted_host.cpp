#include "scripted_host.h"

#include <algorithm>
#include <cstring>

namespace readerlink::testing {

namespace {

// A vendor collection with one feature item of `payload` bytes, or only an
// input byte when `payload` is 0.
hid::PreparsedPtr ModelWithFeaturePayload(uint16_t payload) {
  std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02,
                            0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08};
  const uint8_t main = payload ? 0xB1 : 0x81;
  const uint16_t fields = payload ? payload : 1;
  d.insert(d.end(), {0x96, uint8_t(fields & 0xFF), uint8_t(fields >> 8), main, 0x02, 0xC0});
  hid::ParseResult parsed = hid::ParseReportDescriptor(d.data(), d.size());
  return parsed.ok() ? parsed.collections.at(0) : nullptr;
}

class ScriptedDevice : public hidhost::Device {
 public:
  explicit ScriptedDevice(std::shared_ptr<ScriptedInterface> i) : i_(std::move(i)) {}

  bool GetAttributes(hidhost::Attributes* out) override {
    out->VendorID = i_->vendor;
    out->ProductID = i_->product;
    return true;
  }
  hid::PreparsedPtr GetPreparsedData() override {
    return i_->hasModel ? ModelWithFeaturePayload(i_->payload) : nullptr;
  }
  bool SetFeature(const uint8_t* report, size_t length) override {
    i_->written.emplace_back(report, report + length);
    const size_t call = i_->written.size() - 1;
    return call >= i_->writes.size() || i_->writes[call];
  }
  bool GetFeature(uint8_t* report, size_t length) override {
    auto it = i_->answers.find(++i_->reads);
    if (it != i_->answers.end()) {
      std::memcpy(report + 1, it->second.data(), std::min(it->second.size(), length - 1));
    }
    return !i_->readsFail;  // a failed read may still leave data behind
  }
  bool ReadInput(uint8_t*, size_t, size_t*) override { return false; }
  void CancelRead() override {}
  bool WriteOutput(const uint8_t*, size_t) override { return false; }
  bool GetManufacturerString(wchar_t*, size_t) override { return false; }
  bool GetProductString(wchar_t*, size_t) override { return false; }
  bool GetSerialNumberString(wchar_t*, size_t) override { return false; }
  bool GetIndexedString(uint32_t, wchar_t*, size_t) override { return false; }

 private:
  std::shared_ptr<ScriptedInterface> i_;
};

}  // namespace

ScriptedHost::ScriptedHost(std::vector<ScriptedInterface> interfaces)
    : clock_(std::make_shared<hidhost::sim::VirtualClock>()) {
  for (size_t n = 0; n < interfaces.size(); ++n) {
    if (interfaces[n].path.empty()) interfaces[n].path = "scripted/" + std::to_string(n);
    interfaces_.push_back(std::make_shared<ScriptedInterface>(std::move(interfaces[n])));
  }
}

bool ScriptedHost::EnumerateInterfaces(std::vector<std::string>* paths) {
  ++enumerations;
  paths->clear();
  for (auto& i : interfaces_) paths->push_back(i->path);
  return true;
}

std::unique_ptr<hidhost::Device> ScriptedHost::Open(const std::string& path,
                                                    hidhost::Access access) {
  for (auto& i : interfaces_) {
    if (i->path != path) continue;
    ++i->opens;
    i->lastAccess = access;
    return std::make_unique<ScriptedDevice>(i);
  }
  return nullptr;
}

std::shared_ptr<ScriptedHost> InstallScriptedHost(std::vector<ScriptedInterface> interfaces) {
  auto host = std::make_shared<ScriptedHost>(std::move(interfaces));
  hidhost::InstallHost(host);
  return host;
}

}  // namespace readerlink::testing
