// Row geometry of the check list: row height, text offset and check box, from the
// ascent of the list's font.
#pragma once
#include <cstddef>

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
inline constexpr std::size_t kRowTextCapacity = 256;  // 255 characters and the NUL

constexpr CheckRowGeometry RowGeometryForAscent(int ascent) {
  const int height = ascent > kMinimumRowHeight ? ascent : kMinimumRowHeight;
  return {height, (height - ascent) / 2};
}

// x of the row text and of the focus mark's left edge (a fixed coordinate, like the fill).
constexpr int RowTextLeft(int itemHeight) { return itemHeight + 2; }

constexpr CheckBoxRect CheckBoxForRow(int itemHeight, int rowLeft, int rowTop) {
  const int d = (itemHeight - 10) / 2;
  return {rowLeft + d, rowTop + d, rowLeft + 2 * d + 10, rowTop + 2 * d + 10};
}

static_assert(CheckBoxForRow(16, 0, 0).right - CheckBoxForRow(16, 0, 0).left == 13);
