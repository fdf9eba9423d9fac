#include "gated_host.h"

namespace tandril_test {

class GatedHost::GatedDevice : public hidhost::Device {
 public:
  GatedDevice(GatedHost& host, std::unique_ptr<hidhost::Device> inner)
      : host_(host), inner_(std::move(inner)) {
    std::lock_guard<std::mutex> lock(host_.mutex_);
    ++host_.liveDevices_;
  }
  ~GatedDevice() override {
    inner_.reset();
    std::lock_guard<std::mutex> lock(host_.mutex_);
    --host_.liveDevices_;
    host_.changed_.notify_all();
  }

  bool ReadInput(uint8_t* report, size_t length, size_t* received) override {
    {
      std::unique_lock<std::mutex> lock(host_.mutex_);
      ++host_.readsStarted_;
      host_.changed_.notify_all();
      host_.changed_.wait(lock, [&] { return cancelled_ || host_.open_ || host_.permits_ > 0; });
      if (cancelled_) {
        hidhost::SetLastError(hidhost::kErrorOperationAborted);
        return false;
      }
      if (!host_.open_) --host_.permits_;
      if (host_.failCode_ != 0) {
        hidhost::SetLastError(host_.failCode_);
        return false;
      }
    }
    if (!inner_->ReadInput(report, length, received)) return false;
    host_.lastDeliveryNs_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count(),
                                std::memory_order_release);
    return true;
  }
  void CancelRead() override {
    {
      std::lock_guard<std::mutex> lock(host_.mutex_);
      cancelled_ = true;
      host_.changed_.notify_all();
    }
    inner_->CancelRead();
  }

  bool GetAttributes(hidhost::Attributes* out) override { return inner_->GetAttributes(out); }
  hid::PreparsedPtr GetPreparsedData() override { return inner_->GetPreparsedData(); }
  bool GetFeature(uint8_t* r, size_t n) override { return inner_->GetFeature(r, n); }
  bool SetFeature(const uint8_t* r, size_t n) override { return inner_->SetFeature(r, n); }
  bool WriteOutput(const uint8_t* r, size_t n) override { return inner_->WriteOutput(r, n); }
  bool GetManufacturerString(wchar_t* b, size_t n) override {
    return inner_->GetManufacturerString(b, n);
  }
  bool GetProductString(wchar_t* b, size_t n) override { return inner_->GetProductString(b, n); }
  bool GetSerialNumberString(wchar_t* b, size_t n) override {
    return inner_->GetSerialNumberString(b, n);
  }
  bool GetIndexedString(uint32_t i, wchar_t* b, size_t n) override {
    return inner_->GetIndexedString(i, b, n);
  }

 private:
  GatedHost& host_;
  std::unique_ptr<hidhost::Device> inner_;
  bool cancelled_ = false;  // guarded by the host's mutex
};

GatedHost::GatedHost(std::shared_ptr<hidhost::Host> inner, bool open)
    : inner_(std::move(inner)), open_(open) {}

bool GatedHost::EnumerateInterfaces(std::vector<std::string>* paths) {
  return inner_->EnumerateInterfaces(paths);
}

std::unique_ptr<hidhost::Device> GatedHost::Open(const std::string& path, hidhost::Access access) {
  auto device = inner_->Open(path, access);
  if (!device) return nullptr;
  return std::make_unique<GatedDevice>(*this, std::move(device));
}

hidhost::Clock& GatedHost::clock() { return inner_->clock(); }

void GatedHost::Release(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  permits_ += count;
  changed_.notify_all();
}

void GatedHost::FailReads(uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  failCode_ = code;
}

bool GatedHost::WaitForReads(int count) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kWatchdog, [&] { return readsStarted_ >= count; });
}

bool GatedHost::WaitForLiveDevices(int devices) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kWatchdog, [&] { return liveDevices_ == devices; });
}

int GatedHost::ReadsStarted() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return readsStarted_;
}

int GatedHost::LiveDevices() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return liveDevices_;
}

}  // namespace tandril_test
