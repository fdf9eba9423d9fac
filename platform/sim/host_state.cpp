#include "host_state.h"

namespace hidhost::sim {

void HostState::SetKeyboardSink(KeyboardSink sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sink_ = std::move(sink);
}

void HostState::Type(const std::string& text) {
  KeyboardSink sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sink = sink_;
  }
  if (sink) sink(text);
}

void HostState::Record(const std::string& path, const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A device streaming input for hours must not fill the memory: the oldest
  // half goes when the transcript is full.
  if (transcript_.size() >= kMaxTranscriptLines) {
    transcript_.erase(transcript_.begin(), transcript_.begin() + kMaxTranscriptLines / 2);
  }
  transcript_.push_back(path + " " + line);
}

std::vector<std::string> HostState::Transcript() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return transcript_;
}

void HostState::ClearTranscript() {
  std::lock_guard<std::mutex> lock(mutex_);
  transcript_.clear();
}

}  // namespace hidhost::sim
