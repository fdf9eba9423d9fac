// DialogControls without a screen. The command box edits its start in place,
// and every byte passed in or out is counted, so tests can tell how much
// work an operation did.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "utility/dialog_controls.h"

namespace utility::testing {

class FakeControls : public DialogControls {
 public:
  std::string Text(ControlId id) const override {
    bytesMoved += Stored(id).size();
    return Stored(id);
  }
  void SetText(ControlId id, const std::string& text) override {
    bytesMoved += text.size();
    texts_[id] = {text, 0};
  }
  bool ReplaceTextStart(ControlId id, std::string_view oldStart, std::string_view newStart) override {
    bytesMoved += oldStart.size() + newStart.size();
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
  void SetVisible(ControlId, bool) override {}
  bool IsVisible(ControlId) const override { return true; }
  void SetFocus(ControlId id) override { focus = id; }
  void ShowMenuBar() override {}
  void SetBusy(bool) override {}
  void RepaintNow() override {}
  void EndDialog() override {}

  std::string Stored(ControlId id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second.store.substr(it->second.offset);
  }

  mutable size_t bytesMoved = 0;
  ControlId focus = ControlId::CommandBox;

 private:
  struct Entry {
    std::string store;
    size_t offset = 0;
  };
  std::map<ControlId, Entry> texts_;
};

}  // namespace utility::testing
