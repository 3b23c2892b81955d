// Which progress positions change what a progress bar shows.
#include "controls/bar_extent.h"

int BarExtent(std::uint32_t position, std::uint32_t range, int width) {
  if (range == 0 || width <= 0) return 0;
  if (position > range) position = range;
  // Rounded to the nearest pixel, halves away from zero, as MulDiv does.
  const std::uint64_t scaled = 2ull * position * static_cast<std::uint64_t>(width) + range;
  return static_cast<int>(BarQuotient(scaled, 2ull * range));
}

int BarWidth(int clientWidth) { return clientWidth > 2 ? clientWidth - 2 : 0; }

bool BarMoves(std::uint32_t from, std::uint32_t to, std::uint32_t range, int clientWidth) {
  if (from == to) return false;
  const int width = BarWidth(clientWidth);
  return BarExtent(from, range, width) != BarExtent(to, range, width);
}

BarThrottle StartBarThrottle(std::uint32_t range, int clientWidth, std::uint64_t interval) {
  return BarThrottle{range, clientWidth, 0, 0, false, StartPace(interval)};
}

bool BarNeedsDraw(BarThrottle& bar, std::uint32_t position, std::uint64_t now) {
  bar.wanted = position;
  if (!bar.started) {
    // The bar has just been shown: it is drawn at once, where the walk starts.
    bar.started = true;
  } else if (!BarMoves(bar.drawn, position, bar.range, bar.clientWidth)) {
    bar.pace.pending = false;
    return false;
  } else if (!PaceChange(bar.pace, now)) {
    return false;
  }
  PaceDrawn(bar.pace, now);
  bar.drawn = position;
  return true;
}

bool BarNeedsFinalDraw(BarThrottle& bar, std::uint64_t now) {
  if (bar.started && !BarMoves(bar.drawn, bar.wanted, bar.range, bar.clientWidth)) return false;
  bar.started = true;
  PaceDrawn(bar.pace, now);
  bar.drawn = bar.wanted;
  return true;
}
