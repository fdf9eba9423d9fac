#include "skelmar/reader_channel.h"

#include <cstring>

#include "text/hex_text.h"

namespace skelmar {

const TandrilCalls& LinkedTandril() {
  static const TandrilCalls calls{&::EnumHIDDevices, &::OpenHIDDevice, &::GetItemByIndex,
                                  &::SetItemValue, &::CloseHIDDevice};
  return calls;
}

namespace {

// Reads one hexadecimal number of at most eight digits at *text and moves
// past it.
bool ReadHex(const char** text, unsigned long* value) {
  const char* p = *text;
  unsigned long v = 0;
  int digits = 0;
  for (;; ++p, ++digits) {
    const int d = hidhost::HexDigitValue(*p);
    if (d < 0) break;
    if (digits == 8) return false;
    v = v * 16 + static_cast<unsigned long>(d);
  }
  if (digits == 0) return false;
  *value = v;
  *text = p;
  return true;
}

}  // namespace

bool LastStepUsage(const char* path, unsigned long* usagePage, unsigned long* usage) {
  const char* step = std::strrchr(path, '&');
  step = step ? step + 1 : path;
  unsigned long page = 0, use = 0, number = 0;
  if (!ReadHex(&step, &page) || *step++ != ':') return false;
  if (!ReadHex(&step, &use) || *step++ != ':') return false;
  if (!ReadHex(&step, &number) || *step != '\0') return false;
  *usagePage = page;
  *usage = use;
  return true;
}

ReaderChannel::ReaderChannel(const TandrilCalls& calls) : calls_(calls) {}

ReaderChannel::~ReaderChannel() { CloseReader(); }

bool ReaderChannel::FindReader() {
  if (device_ != 0) return true;
  uint16_t position = 0;
  for (;; ++position) {
    HIDDeviceAttributes attributes{};
    if (!calls_.EnumHIDDevices(position, &attributes)) return false;
    if (attributes.VendorID == kReaderVendorId) break;
    if (position == kLastPosition) return false;
  }
  device_ = calls_.OpenHIDDevice(position);
  if (device_ == 0) return false;
  if (!FindSetupItem()) {
    calls_.CloseHIDDevice(device_);
    device_ = 0;
    return false;
  }
  return true;
}

bool ReaderChannel::FindSetupItem() {
  if (device_ == 0) return false;
  for (uint32_t index = 0; index <= 0xFFFF; ++index) {
    uint16_t size = kPathBufferSize;
    ItemInfo info{};
    if (!calls_.GetItemByIndex(device_, static_cast<uint16_t>(index), itemPath_.data(), &size,
                               &info)) {
      break;
    }
    itemPath_.back() = '\0';
    unsigned long page = 0, usage = 0;
    if (LastStepUsage(itemPath_.data(), &page, &usage) && page == kSetupUsagePage &&
        usage == kSetupUsage) {
      return true;
    }
  }
  itemPath_.fill('\0');
  return false;
}

bool ReaderChannel::SendSetupChar(char c) {
  if (device_ == 0 || itemPath_[0] == '\0') return false;
  calls_.SetItemValue(device_, itemPath_.data(), static_cast<int32_t>(static_cast<int8_t>(c)));
  return true;
}

void ReaderChannel::CloseReader() {
  if (device_ != 0) {
    calls_.CloseHIDDevice(device_);
    device_ = 0;
  }
  itemPath_.fill('\0');
}

}  // namespace skelmar
