// What the setup dialog's controller asks of its window: the controls by id,
// the sending timer and the close request. The Qt dialog implements it; the
// controller never sees a widget.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace skelmar {

// Control ids of the setup dialog.
enum class Control : int {
  Status = 1000,         // read-only status box
  Send = 1001,           // default push button
  Exit = 1002,
  History = 1003,        // multi-line, read-only: strings sent, newest first
  Response = 1004,       // multi-line, editable: what the reader types back
  InputGroup = 1009,
  Input = 1010,          // one-line input box: the setup string
  ClearInput = 1011,
  SendFile = 1012,
  HistoryGroup = 1013,
  ResponseGroup = 1014,
};

// Notification codes passed with a control id.
constexpr int kClicked = 0;         // a push button was pressed
constexpr int kEditChanged = 0x300;  // an edit control's text changed

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  // A control's text as 8-bit characters; multi-line boxes use CR LF.
  virtual std::string Text(Control id) const = 0;
  // The text as typed, or nothing when it holds a character that 8-bit text
  // cannot carry (Text shows such a character as '?').
  virtual std::optional<std::string> TypedText(Control id) const { return Text(id); }
  virtual void SetText(Control id, const std::string& text) = 0;
  virtual void Enable(Control id, bool enabled) = 0;
  virtual void Focus(Control id) = 0;

  // The sending timer: SendTimerTick every `periodMs` until stopped.
  // Starting a running timer restarts its period.
  virtual void StartSendTimer(uint32_t periodMs) = 0;
  virtual void StopSendTimer() = 0;

  // Asks the dialog to close once the current event has been handled.
  virtual void PostClose() = 0;
};

}  // namespace skelmar
