// When something that changes faster than a screen can show is repainted: at most
// once per display frame, a change that comes sooner waiting for the next repaint,
// and the last change of a run always shown. Portable: the caller brings the time,
// in whatever units its clock counts.
#pragma once
#include <cstdint>

// A screen shows about 60 frames a second. The interval is a 64th of a second, just
// over 15 ms: a clock's frequency shifted, with no division.
inline constexpr unsigned kRepaintIntervalShift = 6;
inline constexpr unsigned kRepaintIntervalMs = 16;  // the same, for a timer
constexpr std::uint64_t RepaintInterval(std::uint64_t ticksPerSecond) { return ticksPerSecond >> kRepaintIntervalShift; }

struct RepaintPace {
  std::uint64_t interval;  // clock ticks between two repaints
  std::uint64_t last;      // when the last repaint was drawn
  bool drawn;              // a repaint has been drawn since the start
  bool pending;            // a change waits for the next repaint
};

RepaintPace StartPace(std::uint64_t interval);
// A change at `now`: true when it is to be drawn now (then it counts as drawn);
// otherwise it waits, pending.
bool PaceChange(RepaintPace& pace, std::uint64_t now);
// Asked again later, with no new change: true when the waiting change is to be drawn
// now (then it counts as drawn).
bool PaceDue(RepaintPace& pace, std::uint64_t now);
// A repaint drawn at `now` whatever the pace (the last change of a run, or one that
// something else asked for): nothing waits any more.
void PaceDrawn(RepaintPace& pace, std::uint64_t now);

// A line of text set at the same pace. Texts are told apart by address: the callers'
// texts are constants or stay in place for the whole run.
struct PacedLine {
  const char* shown;   // the text the line shows
  const char* wanted;  // the text asked for last
  RepaintPace pace;
};

PacedLine StartLine(const char* shown, std::uint64_t interval);
// True when `text` is to be put on the line now (then it counts as shown).
bool LineNeedsSet(PacedLine& line, const char* text, std::uint64_t now);
// Later, with no new text: true when the waiting text is to be set now.
bool LineDue(PacedLine& line, std::uint64_t now);
// At the end of a run: true when the line does not show the text asked for last
// (then it counts as shown).
bool LineNeedsFinalSet(PacedLine& line, std::uint64_t now);
