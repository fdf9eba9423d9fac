// Bytes written as hex text: "05 01 09 06" (descriptor files) or
// "2 52 24 3 77" (device files, where one digit is enough).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "hidhost/export.h"

namespace hidhost {

enum class HexDigits {
  kTwo,       // every byte is two hex digits
  kOneOrTwo,  // a byte may also be a single digit
};

// Where decoding stopped: the token that is not a byte.
struct HexTextError {
  size_t offset = 0;      // of the token's first character in the text
  size_t length = 0;      // of the token, up to the next whitespace
  size_t byteNumber = 0;  // 1-based number of the byte the token stood for
};

// Decodes whitespace-separated (space, tab, CR, LF, VT, FF) hex bytes into
// `bytes`. False, with `error` filled in when given, at the first token that
// is not a byte in the form `digits` allows.
HIDHOST_API bool DecodeHexBytes(std::string_view text, HexDigits digits, std::vector<uint8_t>* bytes,
                                HexTextError* error = nullptr);

}  // namespace hidhost
