// The reader channel: Skelmar's one door to the reader. It finds the first
// HID interface with the reader's vendor ID through Tandril, opens it, looks
// up the reader's setup item and writes setup characters to it one at a time.
#pragma once

#include <array>
#include <cstdint>

#include "tandril.h"

namespace skelmar {

// The five Tandril exports the channel uses. The program calls the library's
// own functions (LinkedTandril()); tests put recording wrappers in between.
struct TandrilCalls {
  // 1 with the attributes of the interface at a position, 0 past the end.
  int32_t(TANDRIL_CALL* EnumHIDDevices)(uint16_t position, HIDDeviceAttributes* attributes);
  // A device handle, or 0 when the device cannot be opened.
  uint32_t(TANDRIL_CALL* OpenHIDDevice)(uint16_t position);
  // 1 with the canonical path of an item, 0 past the last item or when the
  // path does not fit *pathSize bytes.
  int32_t(TANDRIL_CALL* GetItemByIndex)(uint32_t device, uint16_t index, char* path,
                                        uint16_t* pathSize, ItemInfo* info);
  // Writes one value; the channel ignores the result.
  int32_t(TANDRIL_CALL* SetItemValue)(uint32_t device, const char* path, int32_t value);
  // Closes a device; the channel ignores the result.
  int32_t(TANDRIL_CALL* CloseHIDDevice)(uint32_t device);
};

const TandrilCalls& LinkedTandril();

class ReaderChannel {
 public:
  static constexpr uint16_t kReaderVendorId = 0x1C5E;
  static constexpr uint16_t kLastPosition = 254;
  static constexpr unsigned kSetupUsagePage = 0xFF2D;
  static constexpr unsigned kSetupUsage = 1;
  static constexpr uint16_t kPathBufferSize = 255;

  explicit ReaderChannel(const TandrilCalls& calls = LinkedTandril());
  // Closes the reader if it is still open, so that the device's slot in
  // Tandril's table is free again.
  ~ReaderChannel();
  ReaderChannel(const ReaderChannel&) = delete;
  ReaderChannel& operator=(const ReaderChannel&) = delete;

  // Makes sure the reader is open and its setup item known. Succeeds at once
  // while a reader is open. Only the first interface with the vendor ID is
  // tried; when it cannot be opened or lacks the setup item, this fails and
  // the channel stays closed.
  bool FindReader();
  // Looks for the item whose path ends in usage page 0xFF2D, usage 1 on the
  // open device and keeps its path.
  bool FindSetupItem();
  // Writes one character to the setup item, its code read as a signed 8-bit
  // value (0xE9 goes out as -23). Fails only when no setup item is known;
  // what Tandril answers is not examined.
  bool SendSetupChar(char c);
  // Closes the device if one is open and forgets the item path. The Caps
  // Lock flag stays.
  void CloseReader();

  // Set by the dialog from the Caps Lock key when a line starts; read by the
  // sending tick.
  bool CapsLock() const { return capsLock_ != 0; }
  void SetCapsLock(bool on) { capsLock_ = on ? 1 : 0; }

  uint32_t DeviceHandle() const { return device_; }
  const char* ItemPath() const { return itemPath_.data(); }

 private:
  TandrilCalls calls_;
  int32_t capsLock_ = 0;
  uint32_t device_ = 0;
  std::array<char, kPathBufferSize> itemPath_{};
};

// The usage page and usage of the last step of item path text
// ("page:usage:number" steps joined by "&"). False when that step is not
// three hexadecimal numbers.
bool LastStepUsage(const char* path, unsigned long* usagePage, unsigned long* usage);

}  // namespace skelmar
