#include "ui_common/dialog_units.h"

#include <algorithm>
#include <cstdint>

namespace uicommon {
namespace {

// units * base / per, rounded to the nearest, halves away from zero.
int Scale(int units, int base, int per) {
  const int64_t product = static_cast<int64_t>(units) * base;
  const int64_t half = per / 2;
  return static_cast<int>(product >= 0 ? (product + half) / per : (product - half) / per);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(int widthOf52Letters, int lineHeight) {
  return DialogBaseUnits{std::max(1, (widthOf52Letters / 26 + 1) / 2), std::max(1, lineHeight)};
}

int HorizontalPixels(int units, const DialogBaseUnits& base) { return Scale(units, base.x, 4); }

int VerticalPixels(int units, const DialogBaseUnits& base) { return Scale(units, base.y, 8); }

}  // namespace uicommon
