// Where the benchmark's timing build of qlnclear.exe sees the time of a removal: every
// callback of the walk's sink, and what follows the walk. The program that ships
// compiles both to nothing; the timing build defines TARVEL_WORK_TIMING and links the
// benchmark's implementation.
#pragma once

struct RecordSink;

#ifdef TARVEL_WORK_TIMING
// The walk's sink with each callback timed; the clock starts here.
const RecordSink& TimedSink(const RecordSink& sink);
// After the log file and the directories: the figures are written.
void TimeRemovalEnd();
#else
inline const RecordSink& TimedSink(const RecordSink& sink) { return sink; }
inline void TimeRemovalEnd() {}
#endif
