// The setup dialog's template: its caption, font and size, and every control
// with its kind, its text, its rectangle in dialog units and the styles that
// change what it does. The Qt dialog builds its widgets from it; on Windows
// the dialog comes from template 200 of skelmar.rc, which a test holds
// against this table control by control.
#pragma once

#include <span>

#include "skelmar/dialog_window.h"

namespace skelmar {

inline constexpr const char* kSetupCaption = "Varnholt Reader USB-KB Setup Version 3.1 Beta";
inline constexpr const char* kSetupFontName = "Helv";
inline constexpr int kSetupFontPoints = 8;
inline constexpr int kSetupWidthDu = 367;
inline constexpr int kSetupHeightDu = 282;

enum class ControlKind {
  GroupBox,
  Button,
  DefaultButton,  // the button that Enter presses
  LineEdit,       // one line, scrolled sideways
  TextBox,        // several lines, both scroll bars, no wrapping
};

// Styles beyond those every control of its kind has.
enum ControlStyle : unsigned {
  kPlain = 0,
  kReadOnly = 1u << 0,
  kNoTabStop = 1u << 1,   // reached by clicking only
  kWantReturn = 1u << 2,  // Enter types a line break instead of pressing the default button
};

struct ControlTemplate {
  Control id;
  ControlKind kind;
  const char* text;
  int x, y, width, height;  // dialog units
  unsigned styles;          // ControlStyle bits
};

// In tab order; each group box comes before the controls that lie on it.
std::span<const ControlTemplate> SetupDialogControls();

}  // namespace skelmar
