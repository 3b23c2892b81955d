// Row geometry of the check list for small, exact and large font ascents.
#include "controls/check_list_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckListGeometry, RowsForAscents) {
  struct Case {
    int ascent;
    int itemHeight, textOffset, textLeft;
    CheckBoxRect box;        // row at (0, 0)
    CheckBoxRect shiftedBox;  // row at (4, 32)
    int dpi = kBaseDpi;  // at another DPI every length follows; the box stays square, inside its row
  };
  static const Case cases[] = {
      {12, 16, 2, 18, {3, 3, 16, 16}, {7, 35, 20, 48}},
      {13, 16, 1, 18, {3, 3, 16, 16}, {7, 35, 20, 48}},
      {16, 16, 0, 18, {3, 3, 16, 16}, {7, 35, 20, 48}},
      {20, 20, 0, 22, {5, 5, 20, 20}, {9, 37, 24, 52}},
      {21, 21, 0, 23, {5, 5, 20, 20}, {9, 37, 24, 52}},
      {0, 16, 8, 18, {3, 3, 16, 16}, {7, 35, 20, 48}},
      {13, 24, 5, 27, {4, 4, 23, 23}, {8, 36, 27, 55}, 144},
      {26, 32, 3, 36, {6, 6, 32, 32}, {10, 38, 36, 64}, 192},
      {13, 20, 3, 23, {3, 3, 19, 19}, {7, 35, 23, 51}, 120},
  };
  for (const Case& c : cases) {
    const CheckRowGeometry g = RowGeometryForAscent(c.ascent, c.dpi);
    const RowLengths at = RowLengthsAt(c.dpi);
    EXPECT_EQ(g.itemHeight, c.itemHeight) << "ascent " << c.ascent;
    EXPECT_EQ(g.textOffset, c.textOffset) << "ascent " << c.ascent;
    EXPECT_EQ(RowTextLeft(g.itemHeight, at), c.textLeft) << "ascent " << c.ascent;
    EXPECT_EQ(at.fillLeft, c.dpi == kBaseDpi ? kRowFillLeft : RowTextLeft(ScaleDpi(kMinimumRowHeight, c.dpi), at));
    for (const auto& [row, want] : {std::pair{std::pair{0, 0}, c.box}, std::pair{std::pair{4, 32}, c.shiftedBox}}) {
      const CheckBoxRect b = CheckBoxForRow(g.itemHeight, row.first, row.second, at);
      EXPECT_TRUE(b.left == want.left && b.top == want.top && b.right == want.right && b.bottom == want.bottom)
          << "ascent " << c.ascent << ", row at " << row.first << "," << row.second << ": box " << b.left << ","
          << b.top << "-" << b.right << "," << b.bottom;
    }
  }
}

// The box of the smallest row reaches the row's bottom edge and stays left of the fill.
TEST(CheckListGeometry, SmallestRowBoxFitsItsColumn) {
  const CheckBoxRect b = CheckBoxForRow(kMinimumRowHeight, 0, 0);
  EXPECT_EQ(b.bottom, kMinimumRowHeight);
  EXPECT_LT(b.right, kRowFillLeft);
}

}  // namespace
