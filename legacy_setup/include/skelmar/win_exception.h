// The setup tool's one exception type: a system error code and a fixed
// message text. Thrown by value; it carries start-up failures to the dialog,
// which shows the text in a box captioned "Exception".
#pragma once

#include <cstdint>

namespace skelmar {

struct WinException {
  uint32_t code;
  const char* message;  // fixed text, never freed
};

}  // namespace skelmar
