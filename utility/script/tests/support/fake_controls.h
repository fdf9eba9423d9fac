// A DialogControls without a screen for the runner's and the setting
// commands' tests. Texts are kept as the operations wrote them; the command
// box edits its start in place, and every byte the operations pass in or
// take out is counted, so tests can tell how much work a step did.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "utility/dialog_controls.h"

namespace utility::testing {

class FakeControls : public DialogControls {
 public:
  std::string Text(ControlId id) const override {
    const std::string text = Stored(id);
    bytesMoved += text.size();
    return text;
  }
  void SetText(ControlId id, const std::string& text) override {
    bytesMoved += text.size();
    texts_[id] = {text, 0};
  }
  bool ReplaceTextStart(ControlId id, std::string_view oldStart,
                        std::string_view newStart) override {
    bytesMoved += oldStart.size() + newStart.size();
    Entry& entry = texts_[id];
    if (std::string_view(entry.store).substr(entry.offset).substr(0, oldStart.size()) != oldStart) {
      return false;
    }
    if (newStart.size() <= oldStart.size()) {
      // The new start overwrites the end of the old one; nothing else moves.
      entry.offset += oldStart.size() - newStart.size();
      entry.store.replace(entry.offset, newStart.size(), newStart);
    } else {
      entry = {std::string(newStart) + Stored(id).substr(oldStart.size()), 0};
    }
    return true;
  }
  void SetVisible(ControlId id, bool visible) override { visible_[id] = visible; }
  bool IsVisible(ControlId id) const override {
    auto it = visible_.find(id);
    return it != visible_.end() && it->second;
  }
  void SetFocus(ControlId id) override { focus = id; }
  void ShowMenuBar() override { menuBarShown = true; }
  void SetBusy(bool) override {}
  void RepaintNow() override { ++repaints; }
  void EndDialog() override { ended = true; }

  std::string Stored(ControlId id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second.store.substr(it->second.offset);
  }

  mutable size_t bytesMoved = 0;
  ControlId focus = ControlId::CommandBox;
  int repaints = 0;
  bool menuBarShown = false;
  bool ended = false;

 private:
  struct Entry {
    std::string store;
    size_t offset = 0;
  };
  std::map<ControlId, Entry> texts_;
  std::map<ControlId, bool> visible_;
};

}  // namespace utility::testing
