#include "item_stream.h"

namespace hid::detail {

bool ItemStream::NextLong(Item& item, const char*& error) {
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
  item.data = 0;
  pos_ += 3 + dataSize;
  return true;
}

}  // namespace hid::detail
