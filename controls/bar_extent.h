// Which progress positions change what a progress bar shows: the filled part is the
// position scaled to the bar's width, rounded as the control rounds it; and when the
// uninstaller's bar, which the walk draws itself, is drawn.
#pragma once
#include <cstdint>

#include "controls/repaint_pace.h"

// n / d by shifts, for the bars' 64-bit products (d below 2^63): the compiler's 64-bit
// division on i686 is a runtime helper whose unwind tables cost the uninstaller a file
// section of its own.
constexpr std::uint64_t BarQuotient(std::uint64_t n, std::uint64_t d) {
  std::uint64_t q = 0, r = 0;
  for (int bit = 63; bit >= 0; --bit) {
    r = r << 1 | (n >> bit & 1);
    if (r >= d) r -= d, q |= std::uint64_t{1} << bit;
  }
  return q;
}
static_assert(BarQuotient(0xFFFFFFFFFFull, 65535) == 0xFFFFFFFFFFull / 65535 && BarQuotient(7, 8) == 0);

// Filled pixels of a bar `width` pixels wide at `position` of 0..`range`.
int BarExtent(std::uint32_t position, std::uint32_t range, int width);

// The programs do not ask for the common controls version 6, so progress bars have
// the classic look, which fills the client area less a one-pixel margin on each side.
int BarWidth(int clientWidth);
bool BarMoves(std::uint32_t from, std::uint32_t to, std::uint32_t range, int clientWidth);

// The positions of one uninstall walk. The control is given every position with its
// repaint held; the bar is drawn when its fill has moved since it was last drawn and
// the pace allows. The walk's first position is drawn at once, its last one always.
struct BarThrottle {
  std::uint32_t range;
  int clientWidth;
  std::uint32_t drawn;   // the position the screen shows
  std::uint32_t wanted;  // the position the control holds
  bool started;          // a position has been drawn in this walk
  RepaintPace pace;
};

BarThrottle StartBarThrottle(std::uint32_t range, int clientWidth, std::uint64_t interval);
// The control now holds `position`: true when the bar is to be drawn now (then it
// counts as drawn).
bool BarNeedsDraw(BarThrottle& bar, std::uint32_t position, std::uint64_t now);
// At the end of the walk: true when the bar does not show the last position (then it
// counts as drawn).
bool BarNeedsFinalDraw(BarThrottle& bar, std::uint64_t now);
