// The repaint pace and the paced text line, with a clock of the test's own.
#include "controls/repaint_pace.h"

#include <gtest/gtest.h>

namespace {

TEST(RepaintPace, OneRepaintPerFrameAndTheWaitingChangeDrawnWhenDue) {
  enum Op { Change, Due, Drawn };
  struct Event {
    Op op;
    std::uint64_t now;
    bool drawNow, pendingAfter;
  };
  // A frame of 10 ticks.
  static const Event events[] = {
      {Due, 5, false, false},     // nothing waits
      {Change, 5, true, false},   // the first change is drawn at once
      {Change, 9, false, true},   // within the frame: waits
      {Change, 14, false, true},  // still within
      {Due, 14, false, true},
      {Due, 15, true, false},     // a frame after the last repaint
      {Due, 40, false, false},
      {Change, 40, true, false},  // long after: at once
      {Drawn, 42, false, false},  // the run's end, or a repaint asked for from elsewhere
      {Change, 51, false, true},  // a frame counts from that repaint
      {Drawn, 52, false, false},  // drawn whatever the pace: nothing waits
      {Change, 30, true, false},  // a clock that went back waits no frame
  };
  RepaintPace pace = StartPace(10);
  int row = 0;
  for (const Event& e : events) {
    bool drawn = false;
    if (e.op == Change) drawn = PaceChange(pace, e.now);
    if (e.op == Due) drawn = PaceDue(pace, e.now);
    if (e.op == Drawn) PaceDrawn(pace, e.now);
    EXPECT_EQ(drawn, e.drawNow) << "row " << row;
    EXPECT_EQ(pace.pending, e.pendingAfter) << "row " << row;
    ++row;
  }
  EXPECT_EQ(RepaintInterval(10000000), 156250u);  // a 64th of a second: over 15 ms
  EXPECT_GE(kRepaintIntervalMs * 64u, 1000u);
}

TEST(PacedLine, SetsAtMostOncePerFrameAndEndsOnTheLastText) {
  static const char kPath[] = "C:\\log", kFiles[] = "files", kRegistry[] = "registry";
  struct Ask {
    const char* text;  // nullptr: asked again with no new text
    std::uint64_t now;
    const char* setNow;  // the text put on the line, or nullptr
  };
  static const Ask asks[] = {
      {kFiles, 0, kFiles},     // the first text at once
      {kFiles, 1, nullptr},    // the same text: nothing to set
      {kRegistry, 2, nullptr}, // within the frame: waits
      {kRegistry, 5, nullptr},
      {nullptr, 9, nullptr},
      {nullptr, 10, kRegistry},
      {kFiles, 12, nullptr},   // waits ...
      {kRegistry, 13, nullptr},// ... and is taken back: the line shows it already
      {nullptr, 30, nullptr},
      {kFiles, 31, kFiles},
      {kPath, 33, nullptr},    // the run ends with this one waiting
  };
  PacedLine line = StartLine(kPath, 10);
  int row = 0;
  for (const Ask& a : asks) {
    const bool set = a.text != nullptr ? LineNeedsSet(line, a.text, a.now) : LineDue(line, a.now);
    EXPECT_EQ(set, a.setNow != nullptr) << "row " << row;
    if (set) {
      EXPECT_EQ(line.shown, a.setNow) << "row " << row;
    }
    ++row;
  }
  EXPECT_TRUE(LineNeedsFinalSet(line, 34));
  EXPECT_EQ(line.shown, kPath);
  EXPECT_FALSE(LineNeedsFinalSet(line, 35));
}

}  // namespace
