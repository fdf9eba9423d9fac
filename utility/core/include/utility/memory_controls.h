// DialogControls held in memory, for running the dialog's operations without
// a screen (the command-line tool, the tests). Every control shows its text;
// the command box edits its start in place, so that the script runner's
// progress display costs what its pieces cost, however long the script.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "utility/dialog_controls.h"

namespace utility {

class MemoryControls : public DialogControls {
 public:
  std::string Text(ControlId id) const override;
  void SetText(ControlId id, const std::string& text) override;
  bool ReplaceTextStart(ControlId id, std::string_view oldStart,
                        std::string_view newStart) override;
  void SetVisible(ControlId, bool) override {}
  bool IsVisible(ControlId) const override { return true; }
  void SetFocus(ControlId) override {}
  void ShowMenuBar() override {}
  void SetBusy(bool) override {}
  void RepaintNow() override {}
  void EndDialog() override {}

 private:
  struct Entry {
    std::string store;
    size_t offset = 0;  // the text is store from offset on
  };
  std::map<ControlId, Entry> texts_;
};

}  // namespace utility
