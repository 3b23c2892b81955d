// The fill rule, and the uninstaller's bar throttle: drawn at the display's pace, the
// bar shows every position's fill within a frame and the walk's end always.
#include "controls/bar_extent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

// MulDiv's rounding (to the nearest, halves up), in floating point.
int Reference(double position, double range, double width) { return static_cast<int>(std::floor(position * width / range + 0.5)); }

TEST(BarExtent, RoundsLikeTheControlAndStaysInsideTheBar) {
  EXPECT_EQ(BarExtent(0, 40000, 192), 0);
  EXPECT_EQ(BarExtent(40000, 40000, 192), 192);
  EXPECT_EQ(BarExtent(50000, 40000, 192), 192);  // past the range: the bar is full, no more
  EXPECT_EQ(BarExtent(1, 2, 3), 2);              // 1.5 rounds up
  EXPECT_EQ(BarExtent(1, 4, 3), 1);              // 0.75
  EXPECT_EQ(BarExtent(1, 4, 1), 0);              // 0.25
  EXPECT_EQ(BarExtent(7, 0, 192), 0);            // an empty log
  EXPECT_EQ(BarExtent(7, 10, 0), 0);
  EXPECT_EQ(BarExtent(65535, 65535, 100000), 100000);  // no overflow at the largest values
  EXPECT_EQ(BarWidth(194), 192);
  EXPECT_EQ(BarWidth(2), 0);
  for (std::uint32_t p = 0; p <= 997; p += 13) EXPECT_EQ(BarExtent(p, 997, 190), Reference(p, 997, 190)) << p;
}

// A walk of random record sizes and times, as the uninstaller's log and disk give them:
// the bar is never drawn twice within a frame but for the walk's end, never lags a
// change by more than a frame when a record comes, and ends showing the last position.
void CheckWalk(std::uint32_t range, int clientWidth, std::mt19937& random) {
  constexpr std::uint64_t kFrame = 15625;  // microseconds
  BarThrottle bar = StartBarThrottle(range, clientWidth, kFrame);
  std::uniform_int_distribution<std::uint32_t> record(2, 120);
  std::uniform_int_distribution<std::uint64_t> pause(0, 2500);
  const int width = BarWidth(clientWidth);
  std::uint64_t now = 1000000, lastDraw = 0;
  std::uint32_t position = 0, draws = 0, calls = 0;
  for (;;) {
    ++calls;
    if (BarNeedsDraw(bar, position, now)) {
      if (draws > 0) {
        ASSERT_GE(now - lastDraw, kFrame) << "range " << range << " position " << position;
      }
      ++draws;
      lastDraw = now;
    }
    ASSERT_EQ(bar.wanted, position);
    if (BarExtent(bar.drawn, range, width) != BarExtent(position, range, width)) {
      ASSERT_LT(now - lastDraw, kFrame) << "range " << range << " width " << width << " position " << position;
    }
    if (position == range) break;
    position = std::min(range, position + record(random));
    now += pause(random);
  }
  BarNeedsFinalDraw(bar, now);
  EXPECT_EQ(BarExtent(bar.drawn, range, width), BarExtent(range, range, width));  // the walk's end is shown
  // Records come faster than frames: most of them draw nothing.
  if (range >= 4000u) {
    EXPECT_LT(draws, calls / 2) << "range " << range << " width " << width;
  }
}

TEST(BarThrottle, DrawsAtTheDisplaysPaceAndShowsTheWalksEnd) {
  std::mt19937 random(20261208);
  for (const std::uint32_t range : {0u, 1u, 90u, 4000u, 38211u, 65535u})
    for (const int width : {1, 2, 3, 192, 400}) CheckWalk(range, width, random);
}

TEST(BarThrottle, StartsWhereTheWalkStartsAndEndsWhereItStopped) {
  BarThrottle bar = StartBarThrottle(40000, 192, 16);
  EXPECT_TRUE(BarNeedsDraw(bar, 31, 100));  // the banner's size, though no pixel moves
  EXPECT_EQ(bar.drawn, 31u);
  EXPECT_FALSE(BarNeedsDraw(bar, 60, 101));     // no pixel moves
  EXPECT_FALSE(BarNeedsDraw(bar, 4000, 102));   // moves, within the frame: waits
  EXPECT_EQ(bar.wanted, 4000u);
  // The walk ends early (a type 0 record): its last position is drawn after all.
  EXPECT_TRUE(BarNeedsFinalDraw(bar, 103));
  EXPECT_EQ(bar.drawn, 4000u);
  EXPECT_FALSE(BarNeedsFinalDraw(bar, 104));
  EXPECT_FALSE(BarNeedsDraw(bar, 4100, 110));   // a frame has not passed since that draw
  EXPECT_TRUE(BarNeedsDraw(bar, 4200, 119));

  BarThrottle unused = StartBarThrottle(40000, 192, 16);
  EXPECT_TRUE(BarNeedsFinalDraw(unused, 5));  // a walk that never asked still leaves the bar drawn
  EXPECT_EQ(unused.drawn, 0u);
}

}  // namespace
