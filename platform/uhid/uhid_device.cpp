#include "uhid_device.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/wide_text.h"
#include "keyboard_typing.h"

namespace hidhost::uhid {

namespace {

constexpr uint16_t kBusUsb = 0x03;

bool AnyBootKeyboard(const sim::DeviceModel& model) {
  for (const sim::CollectionReports& c : model.collections()) {
    if (IsBootKeyboard(c.preparsed.get(), model.usesReportIds())) return true;
  }
  return false;
}

// Copies UTF-8 text into a fixed field, NUL-terminated, cut at a character
// boundary when it is too long.
void CopyField(const std::string& text, uint8_t* field, size_t size) {
  size_t n = std::min(text.size(), size - 1);
  while (n > 0 && n < text.size() && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), n);
}

std::string DeviceName(const sim::DeviceDefinition& d) {
  std::string name = d.manufacturer ? Utf8FromWide(*d.manufacturer) : "";
  if (d.product) name += (name.empty() ? "" : " ") + Utf8FromWide(*d.product);
  if (name.empty()) {
    char text[24];
    std::snprintf(text, sizeof text, "HID %04x:%04x", d.attributes.VendorID, d.attributes.ProductID);
    name = text;
  }
  return name;
}

}  // namespace

std::string MakeCreateEvent(const sim::DeviceModel& model, const std::string& phys, uhid_event* event) {
  const sim::DeviceDefinition& d = model.definition();
  if (d.reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
    return "report descriptor of " + std::to_string(d.reportDescriptor.size()) +
           " bytes: the kernel takes at most " + std::to_string(HID_MAX_DESCRIPTOR_SIZE);
  }
  std::memset(event, 0, sizeof *event);
  event->type = UHID_CREATE2;
  uhid_create2_req& c = event->u.create2;
  CopyField(DeviceName(d), c.name, sizeof c.name);
  CopyField(phys, c.phys, sizeof c.phys);
  CopyField(d.serial ? Utf8FromWide(*d.serial) : "", c.uniq, sizeof c.uniq);
  c.rd_size = static_cast<uint16_t>(d.reportDescriptor.size());
  std::copy(d.reportDescriptor.begin(), d.reportDescriptor.end(), c.rd_data);
  c.bus = kBusUsb;
  c.vendor = d.attributes.VendorID;
  c.product = d.attributes.ProductID;
  c.version = d.attributes.VersionNumber;
  return {};
}

uint16_t ReplyErrno(uint32_t code) {
  switch (code) {
    case kErrorSuccess: return 0;
    case kErrorInvalidParameter: return EINVAL;
    case kErrorDeviceNotConnected: return ENODEV;
    default: return EIO;
  }
}

UhidDevice::UhidDevice(std::shared_ptr<sim::DeviceModel> model, int fd, std::string phys,
                       std::shared_ptr<Clock> clock)
    : model_(std::move(model)),
      fd_(fd),
      phys_(std::move(phys)),
      clock_(std::move(clock)),
      keyboard_(AnyBootKeyboard(*model_)) {}

UhidDevice::~UhidDevice() {
  Destroy();
  if (fd_ >= 0) ::close(fd_);
}

bool UhidDevice::Write(const uhid_event& event) {
  ssize_t written;
  do {
    written = ::write(fd_, &event, sizeof event);
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(sizeof event);
}

std::string UhidDevice::Create() {
  auto event = std::make_unique<uhid_event>();
  std::string problem = MakeCreateEvent(*model_, phys_, event.get());
  if (!problem.empty()) return problem;
  if (!Write(*event)) return std::string("the kernel refused the device: ") + std::strerror(errno);
  return {};
}

bool UhidDevice::HandleNextEvent() {
  auto event = std::make_unique<uhid_event>();
  ssize_t got;
  do {
    got = ::read(fd_, event.get(), sizeof *event);
  } while (got < 0 && errno == EINTR);
  if (got < 0 && errno == EAGAIN) return true;
  if (got < static_cast<ssize_t>(sizeof event->type)) return false;
  // Short events are completed with zeros.
  std::memset(reinterpret_cast<char*>(event.get()) + got, 0, sizeof *event - static_cast<size_t>(got));
  Handle(*event);
  return true;
}

void UhidDevice::Handle(const uhid_event& event) {
  switch (event.type) {
    case UHID_START: started_ = true; break;
    case UHID_STOP: started_ = false; break;
    case UHID_OPEN:
      if (!closing_) StartInputs();
      break;
    case UHID_CLOSE: StopInputs(); break;
    case UHID_GET_REPORT: GetReport(event.u.get_report); break;
    case UHID_SET_REPORT: SetReport(event.u.set_report); break;
    case UHID_OUTPUT: Output(event.u.output); break;
    default: break;
  }
}

std::vector<uint8_t> UhidDevice::WithReportId(const uint8_t* data, size_t size, uint8_t rnum,
                                              hid::HIDP_REPORT_TYPE type) const {
  size = std::min<size_t>(size, UHID_DATA_MAX);
  std::vector<uint8_t> report(data, data + size);
  if (!model_->usesReportIds()) {
    const size_t own = sim::ReportLength(model_->collections(), type, 0);
    if (own > 1 && size == own - 1) report.insert(report.begin(), 0);
  } else if (report.empty()) {
    report.push_back(rnum);
  }
  return report;
}

void UhidDevice::GetReport(const uhid_get_report_req& request) {
  auto reply = std::make_unique<uhid_event>();
  std::memset(reply.get(), 0, sizeof *reply);
  reply->type = UHID_GET_REPORT_REPLY;
  reply->u.get_report_reply.id = request.id;
  if (closing_) {
    reply->u.get_report_reply.err = ENODEV;
  } else if (request.rtype != UHID_FEATURE_REPORT) {
    reply->u.get_report_reply.err = EIO;  // the models keep only feature reports
  } else {
    std::vector<uint8_t> report;
    const uint32_t code = model_->GetFeature(request.rnum, &report);
    reply->u.get_report_reply.err = ReplyErrno(code);
    if (code == kErrorSuccess) {
      // The ID byte leads, 0 on a device without IDs, as hidraw gives it
      // back to its caller.
      const size_t n = std::min<size_t>(report.size(), UHID_DATA_MAX);
      reply->u.get_report_reply.size = static_cast<uint16_t>(n);
      std::copy_n(report.begin(), n, reply->u.get_report_reply.data);
    }
  }
  Write(*reply);
}

void UhidDevice::SetReport(const uhid_set_report_req& request) {
  auto reply = std::make_unique<uhid_event>();
  std::memset(reply.get(), 0, sizeof *reply);
  reply->type = UHID_SET_REPORT_REPLY;
  reply->u.set_report_reply.id = request.id;
  uint32_t code = closing_ ? kErrorDeviceNotConnected : kErrorGenFailure;
  if (!closing_ && (request.rtype == UHID_FEATURE_REPORT || request.rtype == UHID_OUTPUT_REPORT)) {
    const hid::HIDP_REPORT_TYPE type =
        request.rtype == UHID_FEATURE_REPORT ? hid::HidP_Feature : hid::HidP_Output;
    const std::vector<uint8_t> report = WithReportId(request.data, request.size, request.rnum, type);
    code = type == hid::HidP_Feature ? model_->SetFeature(report.data(), report.size())
                                     : model_->WriteOutput(report.data(), report.size());
  }
  reply->u.set_report_reply.err = ReplyErrno(code);
  Write(*reply);
}

void UhidDevice::Output(const uhid_output_req& request) {
  if (closing_ || request.rtype != UHID_OUTPUT_REPORT) return;
  const std::vector<uint8_t> report =
      WithReportId(request.data, request.size, request.size > 0 ? request.data[0] : 0, hid::HidP_Output);
  model_->WriteOutput(report.data(), report.size());  // nobody waits for an answer
}

void UhidDevice::SendInput(const std::vector<uint8_t>& report) {
  if (report.empty() || destroyed_) return;
  auto event = std::make_unique<uhid_event>();
  std::memset(event.get(), 0, sizeof *event);
  event->type = UHID_INPUT2;
  // The models keep the ID byte, 0 when the device has no IDs; the kernel
  // takes such a device's reports without it.
  const size_t skip = model_->usesReportIds() ? 0 : 1;
  if (report.size() <= skip) return;
  const size_t n = std::min<size_t>(report.size() - skip, UHID_DATA_MAX);
  event->u.input2.size = static_cast<uint16_t>(n);
  std::copy_n(report.begin() + static_cast<std::ptrdiff_t>(skip), n, event->u.input2.data);
  Write(*event);
}

void UhidDevice::StartInputs() {
  std::lock_guard lock(inputsMutex_);
  if (inputs_.joinable() || destroyed_ || model_->definition().inputReports.empty()) return;
  inputsCancelled_ = false;
  inputs_ = std::thread([this] {
    for (;;) {
      std::vector<uint8_t> report;
      if (model_->ReadInput(&report, inputsCancelled_) != kErrorSuccess) return;
      SendInput(report);
    }
  });
}

void UhidDevice::StopInputs() {
  std::lock_guard lock(inputsMutex_);
  if (!inputs_.joinable()) return;
  inputsCancelled_ = true;
  model_->WakeReaders();
  inputs_.join();
}

void UhidDevice::QueueTyping(const std::string& text) {
  std::lock_guard lock(typingMutex_);
  if (!keyboard_) return;
  if (typing_.empty()) nextTypingAt_ = clock_->NowMs();
  for (std::vector<uint8_t>& report : KeyboardReports(text)) {
    report.insert(report.begin(), 0);  // the ID byte the models keep
    typing_.push_back(std::move(report));
  }
}

std::optional<uint64_t> UhidDevice::SendDueTyping(uint64_t now) {
  std::lock_guard lock(typingMutex_);
  while (!typing_.empty() && nextTypingAt_ <= now) {
    SendInput(typing_.front());
    typing_.pop_front();
    nextTypingAt_ += kTypingIntervalMs;
  }
  if (typing_.empty()) return std::nullopt;
  return nextTypingAt_;
}

void UhidDevice::Destroy() {
  closing_ = true;
  StopInputs();
  if (destroyed_.exchange(true) || fd_ < 0) return;
  auto event = std::make_unique<uhid_event>();
  std::memset(event.get(), 0, sizeof *event);
  event->type = UHID_DESTROY;
  Write(*event);
}

}  // namespace hidhost::uhid
