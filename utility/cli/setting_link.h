// One read and one write of one setting, the two steps `apply` is made of.
// A read runs the setting's review, as the reading commands do, and takes
// the value byte of the reader's answer; a write sends the setting's write
// command as Pelorin's menu does, without asking (the caller has asked).
#pragma once

#include <cstdint>
#include <optional>

#include "console.h"
#include "outcome.h"
#include "setting_values.h"

namespace pelorincli {

struct SettingRead {
  Outcome outcome;           // code 0 when the reader answered the review
  uint8_t byte = 0;          // the answer's value byte
  std::optional<int> value;  // what the byte stands for; none for a byte the reader should not hold
};

SettingRead ReadSetting(Setting setting, const Options& options, Console& console);

// Code 0 when the reader took the write; 1 with the reason otherwise.
Outcome WriteSetting(Setting setting, int value, const Options& options, Console& console);

}  // namespace pelorincli
