// What the operations of the utility may do with the main dialog: read and
// write control texts, show and hide controls, move the focus. The Qt dialog
// implements it; the operations never see a widget.
//
// Texts are 8-bit (Latin-1) with CR LF line ends, as the operations build and
// parse them; the implementation converts to and from what its widgets hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "utility/control_ids.h"

namespace utility {

class DialogControls {
 public:
  virtual ~DialogControls() = default;

  virtual std::string Text(ControlId id) const = 0;
  // The text as typed, or nothing when it holds a character that 8-bit text
  // cannot carry (Text shows such a character as '?').
  virtual std::optional<std::string> TypedText(ControlId id) const { return Text(id); }
  virtual void SetText(ControlId id, const std::string& text) = 0;
  virtual void SetVisible(ControlId id, bool visible) = 0;
  virtual bool IsVisible(ControlId id) const = 0;
  virtual void SetFocus(ControlId id) = 0;

  // Replaces the start of a control's text: when the text begins with
  // `oldStart`, those characters become `newStart` and the result is true;
  // otherwise nothing changes and the result is false. A control that can
  // edit in place overrides this so that the cost follows the two pieces,
  // not the whole text (the script runner's progress display relies on it).
  virtual bool ReplaceTextStart(ControlId id, std::string_view oldStart,
                                std::string_view newStart) {
    std::string text = Text(id);
    if (!std::string_view(text).starts_with(oldStart)) return false;
    text.replace(0, oldStart.size(), newStart);
    SetText(id, text);
    return true;
  }

  // Attaches menu 136 as the dialog's menu bar.
  virtual void ShowMenuBar() = 0;
  // Busy cursor while an exchange blocks the dialog; calls nest.
  virtual void SetBusy(bool busy) = 0;
  // Repaints the whole dialog at once, before a blocking exchange starts.
  virtual void RepaintNow() = 0;
  // Ends the modal dialog with the OK result.
  virtual void EndDialog() = 0;
};

// Busy cursor for the lifetime of the object.
class BusyScope {
 public:
  explicit BusyScope(DialogControls& controls) : controls_(controls) { controls_.SetBusy(true); }
  ~BusyScope() { controls_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  DialogControls& controls_;
};

}  // namespace utility
