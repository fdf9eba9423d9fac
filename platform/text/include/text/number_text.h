// Whole numbers written in decimal or, after "0x" or "0X", in hex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hidhost {

// The number `text` holds, nothing but digits after the optional prefix
// ("0x" alone is not a prefix, so it is refused as decimal). Nothing when
// the text is empty, holds any other character, has more than `maxDigits`
// digits or stands for more than `max`.
std::optional<uint64_t> ReadDecimalOrHex(std::string_view text, uint64_t max,
                                         size_t maxDigits = SIZE_MAX);

}  // namespace hidhost
