#include "utility/memory_controls.h"

namespace utility {

std::string MemoryControls::Text(ControlId id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second.store.substr(it->second.offset);
}

void MemoryControls::SetText(ControlId id, const std::string& text) { texts_[id] = {text, 0}; }

bool MemoryControls::ReplaceTextStart(ControlId id, std::string_view oldStart,
                                      std::string_view newStart) {
  Entry& e = texts_[id];
  if (std::string_view(e.store).substr(e.offset, oldStart.size()) != oldStart) return false;
  if (newStart.size() > oldStart.size()) {
    e = {std::string(newStart) + e.store.substr(e.offset + oldStart.size()), 0};
  } else {  // overwrite the end of the old start; nothing else moves
    e.offset += oldStart.size() - newStart.size();
    e.store.replace(e.offset, newStart.size(), newStart);
  }
  return true;
}

}  // namespace utility
