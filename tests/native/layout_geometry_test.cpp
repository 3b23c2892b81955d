// The wizard's placement tables: rectangles, flags, z-order and read-back dependencies.
#include "setup/layout_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rect {
  int id, x, y, width, height;
};

struct WizardCase {
  const char* name;
  WizardMeasures measures;
  std::vector<Rect> expected;  // x, y, width, height as placed (kept values not compared: -1)
};

const Placement* Find(const auto& rows, int id) {
  for (const Placement& p : rows) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

void ExpectRects(const char* name, const auto& rows, const std::vector<Rect>& expected) {
  for (const Rect& e : expected) {
    const Placement* p = Find(rows, e.id);
    ASSERT_NE(p, nullptr) << name << ": no row for " << e.id;
    if (e.x >= 0) {
      EXPECT_EQ(p->x, e.x) << name << ": x of " << e.id;
    }
    if (e.y >= 0) {
      EXPECT_EQ(p->y, e.y) << name << ": y of " << e.id;
    }
    if (e.width >= 0) {
      EXPECT_EQ(p->width, e.width) << name << ": width of " << e.id;
    }
    if (e.height >= 0) {
      EXPECT_EQ(p->height, e.height) << name << ": height of " << e.id;
    }
  }
}

TEST(WizardPlacements, RectanglesFromMeasures) {
  static const WizardCase cases[] = {
      {"8pt font, heights as set",
       {75, 23, 467, 324, 80, 80, 80},
       {{kWizardWindow, -1, -1, 473, 350}, {300, 8, 8, 200, 300}, {107, 8, 308, -1, -1},
        {201, 216, 297, -1, -1}, {202, 299, 297, -1, -1}, {203, 382, 297, -1, -1},
        {101, 216, 8, 235, 80}, {102, 216, 96, 235, 80}, {105, 216, 184, 235, 80},
        {106, 216, 264, 235, 16}}},
      {"larger button, clipped read-backs",
       {90, 30, 512, 338, 70, 60, 50},
       {{kWizardWindow, -1, -1, 518, 364}, {300, 8, 8, 200, 300}, {107, 8, 308, -1, -1},
        {201, 216, 304, -1, -1}, {202, 314, 304, -1, -1}, {203, 412, 304, -1, -1},
        {101, 216, 8, 280, 80}, {102, 216, 86, 280, 80}, {105, 216, 154, 280, 80},
        {106, 216, 204, 280, 16}}},
  };
  for (const WizardCase& c : cases) ExpectRects(c.name, WizardPlacements(c.measures), c.expected);
}

TEST(WizardPlacements, LargerCancelButtonGrowsTheWindowOnly) {
  const auto base = WizardPlacements({75, 23, 467, 324, 80, 80, 80});
  static const int sizes[][2] = {{76, 23}, {75, 24}, {80, 26}, {113, 31}};
  for (const auto& s : sizes) {
    const auto rows = WizardPlacements({s[0], s[1], 467, 324, 80, 80, 80});
    EXPECT_EQ(rows[0].width - base[0].width, 3 * (s[0] - 75)) << s[0] << "x" << s[1];
    EXPECT_EQ(rows[0].height - base[0].height, 2 * (s[1] - 23)) << s[0] << "x" << s[1];
    for (int id : {300, 107}) {
      const Placement* a = Find(rows, id);
      const Placement* b = Find(base, id);
      EXPECT_TRUE(a->x == b->x && a->y == b->y && a->width == b->width && a->height == b->height)
          << id << " moved for a " << s[0] << "x" << s[1] << " button";
    }
  }
}

TEST(WizardPlacements, ButtonRowSitsFourPixelsAboveTheClientBottom) {
  static const int cases[][2] = {{23, 324}, {23, 330}, {40, 380}};  // bh, H
  for (const auto& c : cases) {
    const auto rows = WizardPlacements({75, c[0], 467, c[1], 80, 80, 80});
    for (int id : {201, 202, 203}) EXPECT_EQ(Find(rows, id)->y + c[0], c[1] - 4) << "button " << id;
  }
}

TEST(WizardPlacements, FlagsAndZOrder) {
  struct Row {
    int id;
    std::uint32_t flags;
    ZOrder order;
    ReadBack readBack;
  };
  static const Row expected[] = {
      {kWizardWindow, kKeepPosition, ZOrder::Top, ReadBack::WizardClient},
      {300, kShow, ZOrder::Top, ReadBack::None},
      {107, kKeepSize, ZOrder::Top, ReadBack::None},
      {201, kKeepSize, ZOrder::Top, ReadBack::None},
      {202, kKeepSize, ZOrder::Top, ReadBack::None},
      {203, kKeepSize, ZOrder::Top, ReadBack::None},
      {101, kShow, ZOrder::Bottom, ReadBack::Height101},
      {102, kShow, ZOrder::Top, ReadBack::Height102},
      {105, kShow, ZOrder::Top, ReadBack::Height105},
      {106, kShow, ZOrder::Top, ReadBack::None},
  };
  const auto rows = WizardPlacements({75, 23, 467, 324, 80, 80, 80});
  for (std::size_t i = 0; i < kWizardPlacementCount; ++i) {
    EXPECT_EQ(rows[i].id, expected[i].id) << "row " << i;
    EXPECT_EQ(rows[i].flags, expected[i].flags) << "row " << i;
    EXPECT_EQ(rows[i].order, expected[i].order) << "row " << i;
    EXPECT_EQ(rows[i].readBack, expected[i].readBack) << "row " << i;
  }
}

// The Win32 layer applies row i of a table computed before later read-backs exist.
TEST(WizardPlacements, RowsDependOnlyOnEarlierReadBacks) {
  const WizardMeasures full = {75, 23, 467, 324, 71, 62, 53};
  const auto complete = WizardPlacements(full);
  WizardMeasures known = {full.bw, full.bh, 0, 0, 0, 0, 0};
  for (std::size_t i = 0; i < kWizardPlacementCount; ++i) {
    const Placement p = WizardPlacements(known)[i];
    const Placement& q = complete[i];
    EXPECT_TRUE(p.x == q.x && p.y == q.y && p.width == q.width && p.height == q.height) << "row " << i;
    switch (p.readBack) {
      case ReadBack::WizardClient: known.W = full.W; known.H = full.H; break;
      case ReadBack::Height101: known.h101 = full.h101; break;
      case ReadBack::Height102: known.h102 = full.h102; break;
      case ReadBack::Height105: known.h105 = full.h105; break;
      case ReadBack::None: break;
    }
  }
}

TEST(ChoosePagePlacements, RectanglesFromMeasures) {
  struct Case {
    const char* name;
    ChoosePageMeasures measures;
    std::vector<Rect> expected;
  };
  static const Case cases[] = {
      {"8pt font",
       {235, 75, 20},
       {{101, -1, -1, 235, 75}, {121, 216, 83, 235, 75}, {105, 216, 166, 235, 16},
        {120, 216, 186, 195, 20}, {119, 419, 186, 20, 20}}},
      {"taller edit box, short 101",
       {280, 60, 26},
       {{101, -1, -1, 280, 75}, {121, 216, 68, 280, 75}, {105, 216, 151, 280, 16},
        {120, 216, 171, 228, 26}, {119, 452, 171, 26, 26}}},
  };
  for (const Case& c : cases) {
    const auto rows = ChoosePagePlacements(c.measures);
    ExpectRects(c.name, rows, c.expected);
    const Placement* browse = Find(rows, 119);
    // Its right edge falls eh - 8 short of the column's right edge.
    EXPECT_EQ(216 + c.measures.cw - (browse->x + browse->width), c.measures.eh - 8) << c.name;
    EXPECT_EQ(rows[0].flags, kKeepPosition | kShow) << c.name;
    for (std::size_t i = 1; i < kChoosePagePlacementCount; ++i) EXPECT_EQ(rows[i].flags, kShow) << c.name << " row " << i;
  }
}

}  // namespace
