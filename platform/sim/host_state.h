// State of a simulated host shared with its open devices and its models:
// the keyboard sink and the request transcript. Devices may outlive the
// host object by a little (a worker thread closing late), so they share it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "hidhost/system_services.h"

namespace hidhost::sim {

class HostState {
 public:
  void SetKeyboardSink(KeyboardSink sink);
  // Calls the sink outside the lock; the text is dropped when none is set.
  void Type(const std::string& text);
  void Record(const std::string& path, const std::string& line);
  std::vector<std::string> Transcript() const;
  void ClearTranscript();

 private:
  static constexpr size_t kMaxTranscriptLines = 100000;
  mutable std::mutex mutex_;
  KeyboardSink sink_;
  std::vector<std::string> transcript_;
};

}  // namespace hidhost::sim
