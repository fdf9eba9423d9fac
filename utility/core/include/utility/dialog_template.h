// The main dialog's template: every control with its kind, its text and its
// rectangle in dialog units, and the menu bar the command panel brings. The
// Qt dialog builds its widgets from it; the Windows resource script holds
// the same template, and its tests hold the two against each other.
#pragma once

#include <span>

#include "utility/control_ids.h"

namespace utility {

inline constexpr const char* kUtilityCaption = "KAVRO USB KB (QV5) Utility v1.2";
inline constexpr int kDialogWidthDu = 351;
inline constexpr int kDialogHeightDu = 290;

// The About box.
inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutText = "KAVRO USB KB (QV5) Utility v1.0";
inline constexpr int kAboutWidthDu = 173;
inline constexpr int kAboutHeightDu = 64;

enum class ControlKind { GroupBox, CommandEdit, HistoryEdit, ResponseEdit, Button, Label, StatusLine, LaunchButton };

struct ControlTemplate {
  ControlId id;
  ControlKind kind;
  const char* text;
  int x, y, width, height;  // dialog units
};

std::span<const ControlTemplate> MainDialogControls();

// Menu 136: top-level menus hold items; an identifier of 0 is a separator.
struct MenuItemTemplate {
  const char* text;
  int id;
};
struct MenuTemplate {
  const char* title;
  std::span<const MenuItemTemplate> items;
};

std::span<const MenuTemplate> CommandPanelMenu();

}  // namespace utility
