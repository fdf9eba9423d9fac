// Splits report-descriptor bytes into items without ever reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hid::detail {

enum class ItemType : uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3, Long = 4 };

struct Item {
  size_t offset = 0;     // of the prefix byte
  ItemType type = ItemType::Main;
  uint8_t tag = 0;
  uint8_t size = 0;      // data bytes: 0, 1, 2 or 4 (long items: any)
  uint32_t data = 0;     // little-endian, zero-extended (short items only)

  // The data sign-extended from its encoded size.
  int32_t Signed() const {
    switch (size) {
      case 1: return static_cast<int8_t>(data & 0xFF);
      case 2: return static_cast<int16_t>(data & 0xFFFF);
      case 4: return static_cast<int32_t>(data);
      default: return 0;
    }
  }
};

class ItemStream {
 public:
  ItemStream(const uint8_t* data, size_t length) : data_(data), length_(length) {}

  // Reads the next item. Returns false at the end, or with `error` set to
  // a reason when an item runs past the end of the descriptor. Inline: the
  // parser spends most of its time here.
  bool Next(Item& item, const char*& error) {
    if (pos_ >= length_) return false;
    const uint8_t prefix = data_[pos_];
    item.offset = pos_;
    if (prefix == 0xFE) return NextLong(item, error);
    static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
    const uint8_t size = kSizes[prefix & 3];
    item.size = size;
    item.type = static_cast<ItemType>((prefix >> 2) & 3);
    item.tag = static_cast<uint8_t>(prefix >> 4);
    const size_t left = length_ - pos_ - 1;
    const uint8_t* p = data_ + pos_ + 1;
    uint32_t value = 0;
    if (left >= 4) {
      // Away from the end: read four bytes and keep the item's.
      static constexpr uint32_t kMasks[4] = {0, 0xFF, 0xFFFF, 0xFFFFFFFF};
      value = (static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24) &
              kMasks[prefix & 3];
    } else {
      if (left < size) {
        error = "item data runs past the end of the descriptor";
        return false;
      }
      for (uint8_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
    }
    item.data = value;
    pos_ += 1 + size;
    return true;
  }

 private:
  bool NextLong(Item& item, const char*& error);

  const uint8_t* data_;
  size_t length_;
  size_t pos_ = 0;
};

}  // namespace hid::detail
