#include "utility/script_buffer.h"

namespace utility {

void ScriptBuffer::Assign(std::string text, size_t skip) {
  text_ = std::move(text);
  pos_ = skip < text_.size() ? skip : text_.size();
  // The buffer is only ever consumed from the front, so the remaining text
  // holds "END" exactly while the last one has not been passed.
  lastEnd_ = text_.rfind("END");
}

bool ScriptBuffer::ContainsEnd() const { return lastEnd_ != std::string::npos && lastEnd_ >= pos_; }

std::string_view ScriptBuffer::TakeLine() {
  const std::string_view rest = Remaining();
  const size_t end = rest.find_first_of("\r\n");
  if (end == std::string_view::npos) {
    pos_ = text_.size();
    return rest;
  }
  size_t next = end + 1;
  if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n') ++next;
  pos_ += next;
  return rest.substr(0, end);
}

std::string_view ScriptBuffer::ConsumedSince(size_t from) const {
  if (from > pos_) return {};
  return std::string_view(text_).substr(from, pos_ - from);
}

}  // namespace utility
