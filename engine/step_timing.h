// Where the benchmark's timing build of setup.exe sees the time of a run: charged after
// each step's progress message and after the rest of the step. The program that ships
// compiles both calls to nothing; the timing build defines TARVEL_WORK_TIMING and links
// the benchmark's implementation.
#pragma once

struct ScriptStep;

#ifdef TARVEL_WORK_TIMING
void TimeStepProgress();
void TimeStepWork(const ScriptStep& step);
#else
inline void TimeStepProgress() {}
inline void TimeStepWork(const ScriptStep&) {}
#endif
