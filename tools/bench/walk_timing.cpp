// The timing build of qlnclear.exe: where the removal's time goes, by kind of work,
// written at its end to the file named by TARVEL_TIMING_FILE. The walk's sink is
// wrapped, so each callback is charged to the kind of work it does.
#include "uninstaller/walk_timing.h"

#include "tools/bench/timing_hook.h"
#include "uninstaller/log_walk.h"

namespace {

enum class TimeClass { Progress, Status, Texts, Files, KeyOpen, ValueDelete, KeyDelete, DirectoryPush, AfterWalk, Count };
constexpr const char* kTimeClassNames[] = {"progress", "status-line", "texts", "files", "key-open", "value-delete",
                                           "key-delete", "dir-records", "log+dirs"};
static_assert(static_cast<int>(TimeClass::Count) <= kTimingKindCapacity);
static_assert(sizeof kTimeClassNames / sizeof *kTimeClassNames == static_cast<std::size_t>(TimeClass::Count));
TimingHook gTiming;
RecordSink gTimed;
const RecordSink* gInner;

void Charge(TimeClass c) { TimingCharge(gTiming, static_cast<int>(c)); }

TimeClass ClassOf(RecordAction action) {
  switch (action) {
    case RecordAction::SetTitle:
    case RecordAction::SetMessage: return TimeClass::Texts;
    case RecordAction::DeleteFile: return TimeClass::Files;
    case RecordAction::OpenUserKey:
    case RecordAction::OpenMachineKey: return TimeClass::KeyOpen;
    case RecordAction::DeleteValue: return TimeClass::ValueDelete;
    case RecordAction::DeleteUserKey:
    case RecordAction::DeleteMachineKey: return TimeClass::KeyDelete;
    default: return TimeClass::DirectoryPush;
  }
}

void TimedStatus(void*, const char* text) {
  gInner->status(gInner->context, text);
  Charge(TimeClass::Status);
}
void TimedAct(void*, RecordAction action, const char* text) {
  gInner->act(gInner->context, action, text);
  Charge(ClassOf(action));
}
void TimedProgress(void*, std::size_t taken) {
  gInner->progress(gInner->context, taken);
  Charge(TimeClass::Progress);
}

}  // namespace

const RecordSink& TimedSink(const RecordSink& sink) {
  gInner = &sink;
  gTimed = RecordSink{nullptr, TimedStatus, TimedAct, TimedProgress};
  TimingStart(gTiming);
  return gTimed;
}

void TimeRemovalEnd() {
  Charge(TimeClass::AfterWalk);
  TimingWrite(gTiming, kTimeClassNames, static_cast<int>(TimeClass::Count));
}
