// Row geometry of the check list: row height, text offset and check box, from the
// ascent of the list's font and the DPI (lengths below are those at 96 DPI).
#pragma once
#include <cstddef>

#include "controls/dpi_scale.h"

struct CheckRowGeometry {
  int itemHeight;
  int textOffset;  // text's distance below the row's top
};

struct CheckBoxRect {
  int left;
  int top;
  int right;
  int bottom;
};

// Rows are never lower than 16 pixels, so the 13-pixel box always fits.
inline constexpr int kMinimumRowHeight = 16;
// The row fill starts at a fixed x: the check box column keeps the list's own background.
inline constexpr int kRowFillLeft = 18;
static_assert(kRowFillLeft == kMinimumRowHeight + 2);
inline constexpr std::size_t kRowTextCapacity = 256;  // 255 characters and the NUL

// `ascent` is that of a fresh context of the list. The least height follows the DPI, as
// the list's font does.
constexpr CheckRowGeometry RowGeometryForAscent(int ascent, int dpi = kBaseDpi) {
  const int least = ScaleDpi(kMinimumRowHeight, dpi);
  const int height = ascent > least ? ascent : least;
  return {height, (height - ascent) / 2};
}

// The lengths of a row's drawing at one DPI, scaled once.
struct RowLengths {
  int fillLeft;  // x where the row fill starts
  int textGap;   // from the row height to the text's x
  int box;       // the check box's side less its distance from the row's top
};
// The fill starts where the text of the lowest row does (kRowFillLeft at 96 DPI).
constexpr RowLengths RowLengthsAt(int dpi) {
  const int gap = ScaleDpi(2, dpi);
  return {ScaleDpi(kMinimumRowHeight, dpi) + gap, gap, ScaleDpi(10, dpi)};
}
inline constexpr RowLengths kRowLengthsAt96 = RowLengthsAt(kBaseDpi);

// x of the row text and of the focus mark's left edge (a fixed coordinate, like the fill).
constexpr int RowTextLeft(int itemHeight, const RowLengths& at = kRowLengthsAt96) { return itemHeight + at.textGap; }

// A square inside the row: d above it, at least d below it.
constexpr CheckBoxRect CheckBoxForRow(int itemHeight, int rowLeft, int rowTop, const RowLengths& at = kRowLengthsAt96) {
  const int d = (itemHeight - at.box) / 2;
  return {rowLeft + d, rowTop + d, rowLeft + 2 * d + at.box, rowTop + 2 * d + at.box};
}

static_assert(CheckBoxForRow(16, 0, 0).right - CheckBoxForRow(16, 0, 0).left == 13);
