#include "command_text.h"

#include <cctype>
#include <cstdint>
#include <utility>

#include "text/wide_text.h"
#include "utility/command_sender.h"

namespace pelorincli {

namespace {
bool Refuse(std::string* error, std::string why) {
  if (error != nullptr) *error = std::move(why);
  return false;
}
}  // namespace

bool TypedCommandBytes(const std::string& argument, std::string* bytes, std::string* error) {
  bool valid = false;
  const std::wstring wide = hidhost::WideFromUtf8(argument, &valid);
  if (!valid) {
    return Refuse(error, "the command text is not UTF-8: give it as a UTF-8 terminal types it (LANG=C.UTF-8)");
  }
  bytes->clear();
  for (wchar_t c : wide) {
    if (static_cast<uint32_t>(c) > 0xFF) return Refuse(error, utility::kNotLatin1Message);
    *bytes += static_cast<char>(c);
  }
  return true;
}

bool CheckHexText(const std::string& text, std::string* error) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const std::string quoted = "\"" + text + "\"";
  for (size_t i = 0; i < text.size();) {
    if (blank(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    for (; i < text.size() && !blank(text[i]); ++i) {
      if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::string shown = std::isprint(c) ? "'" + std::string(1, text[i]) + "'" : "a control character";
        return Refuse(error, "not hexadecimal: " + quoted + " has " + shown + " at character " +
                                 std::to_string(i + 1) + "; write bytes as two hexadecimal digits, such as \"52 24\"");
      }
    }
    if ((i - start) % 2 != 0) {
      return Refuse(error, "not hexadecimal bytes: " + quoted + " has \"" + text.substr(start, i - start) +
                               "\" at character " + std::to_string(start + 1) +
                               ", an odd number of digits; write each byte as two digits, such as \"05\"");
    }
  }
  return true;
}

}  // namespace pelorincli
