#include "utility/script_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace utility {

ScriptFileResult ReadScriptFile(const std::string& path, std::string* text) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return ScriptFileResult::CannotOpen;
  std::ifstream file(path, std::ios::binary);
  if (!file) return ScriptFileResult::CannotOpen;
  file.seekg(0, std::ios::end);
  const std::streamoff length = file.tellg();
  if (length < 0) return ScriptFileResult::CannotOpen;
  if (static_cast<uint64_t>(length) > kMaxScriptFileBytes) return ScriptFileResult::TooLarge;
  file.seekg(0, std::ios::beg);

  std::string content(static_cast<size_t>(length), '\0');
  file.read(content.data(), length);
  // A file that shrank meanwhile gives what could be read.
  content.resize(static_cast<size_t>(file.gcount()));
  if (file.bad()) return ScriptFileResult::CannotOpen;

  // The command box holds text up to the first NUL byte.
  content.resize(std::strlen(content.c_str()));
  *text = std::move(content);
  return ScriptFileResult::Loaded;
}

}  // namespace utility
