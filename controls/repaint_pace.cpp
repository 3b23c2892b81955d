// The repaint pace and the paced text line.
#include "controls/repaint_pace.h"

RepaintPace StartPace(std::uint64_t interval) { return RepaintPace{interval, 0, false, false}; }

void PaceDrawn(RepaintPace& pace, std::uint64_t now) {
  pace.last = now;
  pace.drawn = true;
  pace.pending = false;
}

bool PaceChange(RepaintPace& pace, std::uint64_t now) {
  // Unsigned: a clock that went back counts as a long wait, not as none.
  if (pace.drawn && now - pace.last < pace.interval) {
    pace.pending = true;
    return false;
  }
  PaceDrawn(pace, now);
  return true;
}

bool PaceDue(RepaintPace& pace, std::uint64_t now) { return pace.pending && PaceChange(pace, now); }

PacedLine StartLine(const char* shown, std::uint64_t interval) { return PacedLine{shown, shown, StartPace(interval)}; }

bool LineNeedsSet(PacedLine& line, const char* text, std::uint64_t now) {
  line.wanted = text;
  if (text == line.shown) {
    line.pace.pending = false;  // back to what the line shows: nothing to set
    return false;
  }
  if (!PaceChange(line.pace, now)) return false;
  line.shown = text;
  return true;
}

bool LineDue(PacedLine& line, std::uint64_t now) {
  if (!PaceDue(line.pace, now)) return false;
  line.shown = line.wanted;
  return true;
}

bool LineNeedsFinalSet(PacedLine& line, std::uint64_t now) {
  if (line.shown == line.wanted) return false;
  PaceDrawn(line.pace, now);
  line.shown = line.wanted;
  return true;
}
