// Dialog units to pixels, as the Windows dialog manager sizes a template,
// for front ends that lay out the same templates themselves.
#pragma once

namespace uicommon {

// A font's dialog base units in pixels.
struct DialogBaseUnits {
  int x = 1;  // average character width
  int y = 1;  // character height
};

// The base units of a font, from the width of the 52 letters A-Z a-z set
// in it and its line height, as the dialog manager measures them (at least
// 1 each).
DialogBaseUnits BaseUnitsOf(int widthOf52Letters, int lineHeight);

// A horizontal unit is a quarter of base x, a vertical one an eighth of
// base y; pixels are rounded to the nearest.
int HorizontalPixels(int units, const DialogBaseUnits& base);
int VerticalPixels(int units, const DialogBaseUnits& base);

}  // namespace uicommon
