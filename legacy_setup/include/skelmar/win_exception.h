// The setup tool's one exception type: a system error code and a fixed
// message text. Thrown by value; it carries start-up failures to the dialog,
// which shows the text in a box captioned "Exception". A std::exception, so
// that whatever catches those catches it too; what() is the message.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace skelmar {

struct WinException : std::exception {
  WinException(uint32_t code, const char* message) : code(code), message(message) {}
  const char* what() const noexcept override { return message ? message : "Unknown"; }

  uint32_t code;
  const char* message;  // fixed text, never freed
};

// Captions of the boxes that report start-up failures.
inline constexpr const char* kCreateDialogCaption = "CreateDialog";
inline constexpr const char* kExceptionCaption = "Exception";

// "Error x5" and the like: the code in lower-case hexadecimal.
std::string CreateDialogErrorText(uint32_t code);

// What the "Exception" box says for a failure: a WinException's text,
// "Out of memory" for a failed allocation, "Unknown" for anything else.
std::string ExceptionText(const std::exception_ptr& error);

// The system error code a failure of dialog creation carries: a
// WinException's, 8 for a failed allocation, `otherwise` for anything else.
uint32_t ExceptionCode(const std::exception_ptr& error, uint32_t otherwise);

}  // namespace skelmar
