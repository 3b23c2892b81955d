// Which progress positions change what a progress bar shows.
#include "controls/bar_extent.h"

int BarExtent(std::uint32_t position, std::uint32_t range, int width) {
  if (range == 0 || width <= 0) return 0;
  if (position > range) position = range;
  // Rounded to the nearest pixel, halves away from zero, as MulDiv does.
  const std::uint64_t scaled = 2ull * position * static_cast<std::uint64_t>(width) + range;
  return static_cast<int>(scaled / (2ull * range));
}

int BarWidth(int clientWidth) { return clientWidth > 2 ? clientWidth - 2 : 0; }

bool BarMoves(std::uint32_t from, std::uint32_t to, std::uint32_t range, int clientWidth) {
  if (from == to) return false;
  const int width = BarWidth(clientWidth);
  return BarExtent(from, range, width) != BarExtent(to, range, width);
}

bool BarNeedsSet(BarThrottle& bar, std::uint32_t position) {
  bar.wanted = position;
  // The first position of a walk is always set, so the bar starts where the walk does.
  if (bar.started && !BarMoves(bar.shown, position, bar.range, bar.clientWidth)) return false;
  bar.started = true;
  bar.shown = position;
  return true;
}

bool BarNeedsFinalSet(BarThrottle& bar) {
  if (bar.started && bar.shown == bar.wanted) return false;
  bar.started = true;
  bar.shown = bar.wanted;
  return true;
}
