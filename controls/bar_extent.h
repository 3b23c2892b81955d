// Which progress positions change what a progress bar shows: the filled part is the
// position scaled to the bar's width, rounded as the control rounds it.
#pragma once
#include <cstdint>

// Filled pixels of a bar `width` pixels wide at `position` of 0..`range`.
int BarExtent(std::uint32_t position, std::uint32_t range, int width);

// The programs carry no manifest, so progress bars have the classic look, which
// fills the client area less a one-pixel margin on each side.
int BarWidth(int clientWidth);
bool BarMoves(std::uint32_t from, std::uint32_t to, std::uint32_t range, int clientWidth);

// Positions asked for during one uninstall walk, of which only those that move the bar are
// set; the last one asked for is always set at the end.
struct BarThrottle {
  std::uint32_t range;
  int clientWidth;
  std::uint32_t shown;   // the position the control holds
  std::uint32_t wanted;  // the position asked for last
  bool started;          // a position has been set in this walk
};

// True when `position` must be set now (then it is taken as shown).
bool BarNeedsSet(BarThrottle& bar, std::uint32_t position);
// True when the last position asked for is not the one shown (then it is taken as shown).
bool BarNeedsFinalSet(BarThrottle& bar);
