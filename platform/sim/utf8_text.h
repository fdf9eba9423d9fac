// UTF-8 text from device files as the platform's wide characters.
#pragma once

#include <string>

namespace hidhost::sim {

// False for malformed UTF-8 (bad sequences, overlong forms, surrogates).
bool Utf8ToWide(const std::string& text, std::wstring* wide);

}  // namespace hidhost::sim
