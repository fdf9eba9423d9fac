// Writes HID report descriptors item by item, for tests.
#pragma once

#include <cstdint>
#include <vector>

namespace tandril_test {

// Main-item flag bits.
constexpr uint32_t kConst = 0x01, kVar = 0x02, kVolatile = 0x80;

class Descriptor {
 public:
  Descriptor& UsagePage(uint32_t page) { return Short(0x04, page); }
  Descriptor& Usage(uint32_t usage) { return Short(0x08, usage); }
  Descriptor& UsageMin(uint32_t usage) { return Short(0x18, usage); }
  Descriptor& UsageMax(uint32_t usage) { return Short(0x28, usage); }
  Descriptor& LogicalMin(int32_t v) { return Signed(0x14, v); }
  Descriptor& LogicalMax(int32_t v) { return Signed(0x24, v); }
  Descriptor& ReportSize(uint32_t bits) { return Short(0x74, bits); }
  Descriptor& ReportCount(uint32_t n) { return Short(0x94, n); }
  Descriptor& ReportId(uint32_t id) { return Short(0x84, id); }
  Descriptor& Unit(uint32_t unit) { return Short(0x64, unit); }
  Descriptor& UnitExponent(uint32_t exp) { return Short(0x54, exp); }
  Descriptor& StringIndex(uint32_t index) { return Short(0x78, index); }
  Descriptor& Collection(uint32_t type) { return Short(0xA0, type); }
  Descriptor& EndCollection() {
    bytes_.push_back(0xC0);
    return *this;
  }
  Descriptor& Input(uint32_t flags = kVar) { return Short(0x80, flags); }
  Descriptor& Output(uint32_t flags = kVar) { return Short(0x90, flags); }
  Descriptor& Feature(uint32_t flags = kVar) { return Short(0xB0, flags); }

  // Report size, count and logical range in one go.
  Descriptor& Field(uint32_t bits, uint32_t count, int32_t min, int32_t max) {
    return ReportSize(bits).ReportCount(count).LogicalMin(min).LogicalMax(max);
  }

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  // An item with the fewest data bytes (1, 2 or 4) that hold `v`.
  Descriptor& Short(uint8_t prefix, uint32_t v) { return Put(prefix, v, v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : 4); }
  Descriptor& Signed(uint8_t prefix, int32_t v) {
    const int size = (v >= -128 && v <= 127) ? 1 : (v >= -32768 && v <= 32767) ? 2 : 4;
    return Put(prefix, static_cast<uint32_t>(v), size);
  }
  Descriptor& Put(uint8_t prefix, uint32_t v, int size) {
    bytes_.push_back(static_cast<uint8_t>(prefix | (size == 4 ? 3 : size)));
    for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace tandril_test
