// The uninstaller's bar throttle: whatever positions it leaves out, the bar never
// shows anything other than what setting every position would have shown.
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

// A walk of random record sizes, as the uninstaller's log gives them.
void CheckWalk(std::uint32_t range, int clientWidth, std::mt19937& random) {
  BarThrottle bar{range, clientWidth, 0, 0, false};
  std::uniform_int_distribution<std::uint32_t> record(2, 120);
  std::uint32_t position = 0, sets = 0, calls = 0;
  for (;;) {
    ++calls;
    if (BarNeedsSet(bar, position)) ++sets;
    const int width = BarWidth(clientWidth);
    ASSERT_EQ(BarExtent(bar.shown, range, width), BarExtent(position, range, width))
        << "range " << range << " width " << width << " position " << position;
    if (position == range) break;
    position = std::min(range, position + record(random));
  }
  BarNeedsFinalSet(bar);
  EXPECT_EQ(bar.shown, range);  // the control ends holding the walk's last position
  // With several records to a pixel, most positions are left out.
  if (range > 150u * static_cast<std::uint32_t>(clientWidth)) {
    EXPECT_LT(sets, calls / 2);
  }
}

TEST(BarThrottle, ShowsWhatEveryPositionWouldShowWithFewerSets) {
  std::mt19937 random(20261208);
  for (const std::uint32_t range : {0u, 1u, 90u, 4000u, 38211u, 65535u})
    for (const int width : {1, 2, 3, 192, 400}) CheckWalk(range, width, random);
}

TEST(BarThrottle, StartsWhereTheWalkStartsAndEndsWhereItStopped) {
  BarThrottle bar{40000, 192, 0, 0, false};
  EXPECT_TRUE(BarNeedsSet(bar, 31));  // the banner's size, though no pixel moves
  EXPECT_EQ(bar.shown, 31u);
  EXPECT_FALSE(BarNeedsSet(bar, 60));
  EXPECT_FALSE(BarNeedsSet(bar, 90));
  // The walk ends early (a type 0 record): its last position is set after all.
  EXPECT_TRUE(BarNeedsFinalSet(bar));
  EXPECT_EQ(bar.shown, 90u);
  EXPECT_FALSE(BarNeedsFinalSet(bar));

  BarThrottle unused{40000, 192, 0, 0, false};
  EXPECT_TRUE(BarNeedsFinalSet(unused));  // a walk that never asked still leaves the bar set
  EXPECT_EQ(unused.shown, 0u);
}

}  // namespace
