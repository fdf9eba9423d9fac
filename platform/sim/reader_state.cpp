#include "reader_state.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

namespace hidhost::sim {

std::string FormatReaderState(const ReaderOptions& options) {
  nlohmann::ordered_json state;
  state["language"] = std::string(1, static_cast<char>(options.language));
  state["polling_interval"] = options.pollingInterval;
  state["turbo_speed"] = options.turboSpeed == '1' ? 1 : 0;
  state["writes"] = options.writes;
  return state.dump() + "\n";
}

bool SaveReaderState(const std::string& path, const ReaderOptions& options, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temporary = target;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << FormatReaderState(options);
    out.close();
    if (!out) {
      *error = "cannot write \"" + temporary.string() + "\"";
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, target, ec);
  if (ec) {
    *error = "cannot replace \"" + path + "\": " + ec.message();
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace hidhost::sim
