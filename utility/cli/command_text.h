// A command as the command line gives it, checked before anything is sent.
// Pelorin takes what its boxes hold; a command-line tool refuses what it
// cannot send as typed.
#pragma once

#include <string>

namespace pelorincli {

// The argument of `send` (UTF-8) as the 8-bit text the reader takes, in
// `*bytes`. False, with the line that says why it cannot be sent in `*error`
// when given: a character beyond Latin-1 (Pelorin's message), or text that
// is not UTF-8.
bool TypedCommandBytes(const std::string& argument, std::string* bytes, std::string* error);

// Whether `text` is hexadecimal bytes, two digits each, in groups separated
// by blanks ("52 24", "5224"). False, with one line that says where it is
// wrong in `*error` when given.
bool CheckHexText(const std::string& text, std::string* error);

}  // namespace pelorincli
