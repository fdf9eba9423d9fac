// The main dialog's template: every control with its kind, its text and its
// rectangle in dialog units, and the menu bar the command panel brings.
#pragma once

#include <QRect>
#include <span>

#include "utility/control_ids.h"

class QFont;

namespace utility {

inline constexpr const char* kUtilityCaption = "KAVRO USB KB (QV5) Utility v1.2";
inline constexpr int kDialogWidthDu = 351;
inline constexpr int kDialogHeightDu = 290;

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

// Dialog units to pixels for `font`: a horizontal unit is a quarter of the
// average letter width, a vertical unit an eighth of the line height.
QRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height);

}  // namespace utility
