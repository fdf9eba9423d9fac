#include "item_stream.h"

namespace hid::detail {

int32_t Item::Signed() const {
  switch (size) {
    case 1: return static_cast<int8_t>(data & 0xFF);
    case 2: return static_cast<int16_t>(data & 0xFFFF);
    case 4: return static_cast<int32_t>(data);
    default: return 0;
  }
}

bool ItemStream::Next(Item& item, std::string& error) {
  if (pos_ >= length_) return false;
  const uint8_t prefix = data_[pos_];
  item = Item{};
  item.offset = pos_;
  if (prefix == 0xFE) {
    // Long item: size byte, tag byte, then the data, which nobody uses.
    if (length_ - pos_ < 3) {
      error = "long item header runs past the end of the descriptor";
      return false;
    }
    const size_t dataSize = data_[pos_ + 1];
    if (length_ - pos_ - 3 < dataSize) {
      error = "long item data runs past the end of the descriptor";
      return false;
    }
    item.type = ItemType::Long;
    item.tag = data_[pos_ + 2];
    item.size = static_cast<uint8_t>(dataSize);
    pos_ += 3 + dataSize;
    return true;
  }
  static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
  item.size = kSizes[prefix & 3];
  item.type = static_cast<ItemType>((prefix >> 2) & 3);
  item.tag = static_cast<uint8_t>(prefix >> 4);
  if (length_ - pos_ - 1 < item.size) {
    error = "item data runs past the end of the descriptor";
    return false;
  }
  for (uint8_t i = 0; i < item.size; ++i) item.data |= static_cast<uint32_t>(data_[pos_ + 1 + i]) << (8 * i);
  pos_ += 1 + item.size;
  return true;
}

}  // namespace hid::detail
