// Splits report-descriptor bytes into items without ever reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hid::detail {

enum class ItemType : uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3, Long = 4 };

struct Item {
  size_t offset = 0;     // of the prefix byte
  ItemType type = ItemType::Main;
  uint8_t tag = 0;
  uint8_t size = 0;      // data bytes: 0, 1, 2 or 4 (long items: any)
  uint32_t data = 0;     // little-endian, zero-extended (short items only)

  // The data sign-extended from its encoded size.
  int32_t Signed() const;
};

class ItemStream {
 public:
  ItemStream(const uint8_t* data, size_t length) : data_(data), length_(length) {}

  // Reads the next item. Returns false at the end, or with `error` set when
  // an item runs past the end of the descriptor.
  bool Next(Item& item, std::string& error);

 private:
  const uint8_t* data_;
  size_t length_;
  size_t pos_ = 0;
};

}  // namespace hid::detail
