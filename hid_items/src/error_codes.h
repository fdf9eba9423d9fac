// Last-error codes the library sets beyond those the host layer names.
#pragma once

#include <cstdint>

#include "hidhost/errors.h"

namespace tandril {

// The enumeration has no interface at the position asked for.
constexpr uint32_t kErrorNoMoreItems = 259;
// A path text would be longer than the library can build (too deep a tree).
constexpr uint32_t kErrorFilenameTooLong = 206;

}  // namespace tandril
