// MemoryControls that count every byte passed in or out, so tests can tell
// how much work an operation did, and remember the focus.
#pragma once

#include <string>
#include <string_view>

#include "utility/memory_controls.h"

namespace utility::testing {

class FakeControls : public MemoryControls {
 public:
  std::string Text(ControlId id) const override {
    std::string text = MemoryControls::Text(id);
    bytesMoved += text.size();
    return text;
  }
  void SetText(ControlId id, const std::string& text) override {
    bytesMoved += text.size();
    MemoryControls::SetText(id, text);
  }
  bool ReplaceTextStart(ControlId id, std::string_view oldStart, std::string_view newStart) override {
    bytesMoved += oldStart.size() + newStart.size();
    return MemoryControls::ReplaceTextStart(id, oldStart, newStart);
  }
  void SetFocus(ControlId id) override { focus = id; }

  std::string Stored(ControlId id) const { return MemoryControls::Text(id); }

  mutable size_t bytesMoved = 0;
  ControlId focus = ControlId::CommandBox;
};

}  // namespace utility::testing
