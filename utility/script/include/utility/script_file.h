// Reading a script file for the command box: 8-bit text taken byte for byte,
// up to its first NUL byte.
#pragma once

#include <cstdint>
#include <string>

namespace utility {

// Largest script file the command box takes.
inline constexpr uint64_t kMaxScriptFileBytes = 64ull * 1024 * 1024;
inline constexpr const char* kScriptTooLargeMessage =
    "Error: The file is too large for a script (at most 64 MB)";

enum class ScriptFileResult { Loaded, CannotOpen, TooLarge };

// Reads the file at `path` (8-bit text) into `*text`, cut at its first NUL
// byte. `*text` is left alone unless the result is Loaded.
ScriptFileResult ReadScriptFile(const std::string& path, std::string* text);

}  // namespace utility
