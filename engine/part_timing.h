// Where the benchmark's timing builds see what each defence costs: the time of every
// link check, uninstall-log record write, diagnostic-log write and deletion, added up
// apart from the kinds of work they are part of. The programs that ship compile the
// calls to nothing; the timing builds define TARVEL_WORK_TIMING and link the
// benchmark's implementation.
#pragma once

enum class TimedPart { LinkCheck, RecordWrite, DiagWrite, Deletion, Count };

#ifdef TARVEL_WORK_TIMING
void TimePartBegin(TimedPart part);
void TimePartEnd(TimedPart part);
#else
inline void TimePartBegin(TimedPart) {}
inline void TimePartEnd(TimedPart) {}
#endif
