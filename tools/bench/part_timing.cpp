// The timing builds' record of what each defence costs: every call of a part is timed
// from its begin to its end, and written with the kinds of work as "each:part" lines.
#include "engine/part_timing.h"

#include "tools/bench/timing_hook.h"

namespace {

LONGLONG gBegun[kTimedPartCount];

}  // namespace

TimingHook gPartTiming;
const char* const kPartNames[] = {"each:link-check", "each:record-write", "each:diag-write", "each:deletion"};
static_assert(sizeof kPartNames / sizeof *kPartNames == kTimedPartCount);

void TimePartBegin(TimedPart part) { gBegun[static_cast<int>(part)] = TimingNow(); }

void TimePartEnd(TimedPart part) {
  const int i = static_cast<int>(part);
  gPartTiming.ticks[i] += TimingNow() - gBegun[i];
  ++gPartTiming.counts[i];
}
