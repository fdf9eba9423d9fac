// A command as the command line gives it, checked before anything is sent.
// Pelorin takes what its boxes hold; a command-line tool refuses what it
// cannot send as typed.
#pragma once

#include <optional>
#include <string>

namespace pelorincli {

// The argument of `send` as the 8-bit text the reader takes: on Windows the
// argument as it came (the system's 8-bit code page); elsewhere UTF-8, whose
// characters must all lie within Latin-1. None when one does not, or when
// the text is not UTF-8.
std::optional<std::string> TypedCommandBytes(const std::string& argument);

// Empty when `text` is hexadecimal bytes, two digits each, in groups
// separated by blanks ("52 24", "5224"); otherwise one line that says where
// it is wrong.
std::string HexTextProblem(const std::string& text);

}  // namespace pelorincli
