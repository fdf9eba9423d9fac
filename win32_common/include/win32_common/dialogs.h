// The system's modal dialogs with 8-bit texts: message boxes and the file
// dialogs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace win32ui {

// A modal message box over `owner` (may be null); `type` as MessageBox
// takes it (MB_OK | MB_ICONWARNING, ...). Returns the button pressed (IDOK,
// IDYES, ...), or 0 when the box could not be shown.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

// The file dialog's filter for the programs' filter text: "label|patterns|"
// pairs closed by "||" (patterns separated by ';') become the NUL-separated
// pairs the common dialogs take, ending in two NULs; empty without a pair.
std::wstring FileDialogFilter(std::string_view filter);

// Runs the open (or save) dialog over `owner`. `defaultExtension` (without
// the dot) is added to a typed name without one. Saving never asks before
// replacing a file. The chosen path in the code page of the narrow file
// functions (the one std::ifstream uses), or nothing when the operator
// cancels; a path that code page cannot hold is refused with a message.
std::optional<std::string> AskFileName(HWND owner, bool save, std::string_view filter,
                                       std::string_view defaultExtension);

// The same with a title (the system's "Open" or "Save As" when empty) and a
// file preset in the name box (a path as AskFileName returns it; none when
// empty), for a dialog that opens with the previous choice.
struct FileRequest {
  bool save = false;
  std::string_view filter;
  std::string_view defaultExtension;
  std::string_view title;
  std::string_view initialPath;
};
std::optional<std::string> AskFileName(HWND owner, const FileRequest& request);

}  // namespace win32ui
