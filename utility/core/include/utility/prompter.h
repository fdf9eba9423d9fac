// Every modal interaction of the utility goes through a Prompter: message
// boxes, file dialogs, the write warning and the setting dialog. The Qt
// implementation shows real dialogs; tests answer from a list
// (utility/test_doubles).
//
// While a modal interaction is open, the main dialog's timer keeps ticking.
#pragma once

#include <optional>
#include <string>

namespace utility {

// File filter of the history and script file dialogs, in the
// "label|patterns|...||" form; QtPrompter turns it into Qt's own form.
inline constexpr const char* kTextFileFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
inline constexpr const char* kTextFileExtension = ".txt";

// The application's name, the caption of message boxes that name none.
inline constexpr const char* kApplicationName = "Pelorin";

// Request to the setting dialog: a label and a value in 0..255.
struct SettingRequest {
  std::string label;
  int value = 1;
};

// Outcome of a modal dialog that may fail to appear.
enum class DialogOutcome { Accepted, Cancelled, NotCreated };

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A message box with an OK button. An empty caption stands for the
  // application's name.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

  // File dialogs with `filter` and `defaultExtension`, no initial name. The
  // chosen path (8-bit text), or nothing when the operator left the dialog
  // other than with OK. Saving never asks before replacing a file.
  virtual std::optional<std::string> AskSaveFileName(const std::string& filter,
                                                     const std::string& defaultExtension) = 0;
  virtual std::optional<std::string> AskOpenFileName(const std::string& filter,
                                                     const std::string& defaultExtension) = 0;

  // The About box, modal; its result is not examined.
  virtual void ShowAbout() = 0;

  // The write warning: Accepted for Continue, Cancelled for Cancel, Escape
  // or the close box.
  virtual DialogOutcome ConfirmSettingWrite() = 0;

  // The setting dialog, opened with request->value and request->label.
  // Accepted on OK with request->value holding the accepted value (always
  // 0..255); Cancelled otherwise, with the value untouched.
  virtual DialogOutcome AskSetting(SettingRequest* request) = 0;
};

}  // namespace utility
