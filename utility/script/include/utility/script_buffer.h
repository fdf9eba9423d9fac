// The part of a running script not yet consumed. The runner consumes it from
// the front, line by line; nothing is ever copied or moved for that, so one
// step costs what its lines cost, however long the script is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utility {

class ScriptBuffer {
 public:
  // Replaces the whole content; `skip` leading characters count as consumed.
  void Assign(std::string text, size_t skip = 0);
  void Clear() { Assign({}); }

  bool Empty() const { return pos_ >= text_.size(); }
  std::string_view Remaining() const { return std::string_view(text_).substr(pos_); }
  // Whether the remaining text holds "END" anywhere.
  bool ContainsEnd() const;
  bool StartsWithEnd() const { return Remaining().starts_with("END"); }

  // Takes the next line: the text before the first line end, which is CR LF,
  // a CR alone or an LF alone. The line and its line end are consumed; a last
  // line without a line end is taken whole, once.
  std::string_view TakeLine();

  // Characters consumed since Assign, and the consumed text from `from` on.
  size_t Consumed() const { return pos_; }
  std::string_view ConsumedSince(size_t from) const;

 private:
  std::string text_;
  size_t pos_ = 0;
  size_t lastEnd_ = std::string::npos;  // start of the last "END" in text_
};

}  // namespace utility
