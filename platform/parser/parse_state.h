// The item state table of the descriptor parser: global items (saved and
// restored by Push/Pop) and the local items queued for the next main item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace hid::detail {

// Why a descriptor was refused, and where.
class DescriptorError : public std::runtime_error {
 public:
  DescriptorError(size_t offset, const std::string& reason)
      : std::runtime_error("byte " + std::to_string(offset) + ": " + reason) {}
};

struct GlobalState {
  uint16_t usagePage = 0;
  int32_t logicalMin = 0, logicalMax = 0;
  int32_t physicalMin = 0, physicalMax = 0;
  uint32_t unitExponent = 0, unit = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

// One Usage, or one Usage Minimum/Maximum pair.
struct UsageEntry {
  uint16_t page = 0;
  uint16_t min = 0, max = 0;
  bool isRange = false;
  bool explicitPage = false;  // from a 4-byte usage carrying its own page
  uint32_t aliasSet = 0;      // delimiter set the usage belongs to; 0 = none
  uint32_t Count() const { return static_cast<uint32_t>(max) - min + 1; }
};

struct LocalState {
  std::vector<UsageEntry> usages;
  // A Usage Minimum or Maximum waiting for its partner.
  struct Bound {
    bool have = false;
    uint32_t data = 0;
    uint8_t size = 0;
    uint16_t page = 0;  // Usage Page in effect when it was declared
  };
  Bound min, max;
  uint16_t stringIndex = 0, stringMin = 0, stringMax = 0;
  uint16_t designatorIndex = 0, designatorMin = 0, designatorMax = 0;
  bool stringRange = false, designatorRange = false;
  bool haveStringMin = false, haveStringMax = false;
  bool haveDesignatorMin = false, haveDesignatorMax = false;
  bool inDelimiter = false;
  uint32_t delimiterSets = 0;

  // Empties the state for the next main item; the usage list keeps its
  // storage.
  void Reset() {
    usages.clear();
    // A bound's other fields are read only while it is had.
    min.have = max.have = false;
    stringIndex = stringMin = stringMax = 0;
    designatorIndex = designatorMin = designatorMax = 0;
    stringRange = designatorRange = false;
    haveStringMin = haveStringMax = false;
    haveDesignatorMin = haveDesignatorMax = false;
    inDelimiter = false;
    delimiterSets = 0;
  }
};

}  // namespace hid::detail
