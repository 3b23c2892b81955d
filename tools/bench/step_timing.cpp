// The timing build of setup.exe: where a run's time goes, by kind of work, written to
// the file named by TARVEL_TIMING_FILE after every script (the last write holds the
// whole run). A step's expansion is charged with the rest of the step.
#include "engine/step_timing.h"

#include "engine/script_step.h"
#include "tools/bench/timing_hook.h"

namespace {

enum class TimeClass { Progress, Extract, Directory, Copy, BuildTool, Registry, FileEdit, WindowText, Other, Count };
constexpr const char* kTimeClassNames[] = {"progress", "extract",  "directories", "copy",  "build-tools",
                                           "registry", "file-edits", "window-text", "other"};
static_assert(static_cast<int>(TimeClass::Count) <= kTimingKindCapacity);
static_assert(sizeof kTimeClassNames / sizeof *kTimeClassNames == static_cast<std::size_t>(TimeClass::Count));
TimingHook gTiming;

TimeClass ClassOf(Opcode op) {
  switch (op) {
    case Opcode::ExtractPayload: return TimeClass::Extract;
    case Opcode::MakeDirectory: return TimeClass::Directory;
    case Opcode::CopyToFile: return TimeClass::Copy;
    case Opcode::RunBuildTool: return TimeClass::BuildTool;
    case Opcode::RegisterPackage:
    case Opcode::UpdateSearchPath:
    case Opcode::RegisterHelpFile:
    case Opcode::SetMachineValue:
    case Opcode::SetUserValue:
    case Opcode::PruneRegistrations: return TimeClass::Registry;
    case Opcode::AppendOnce:
    case Opcode::RemoveFile:
    case Opcode::AddRepositoryPage: return TimeClass::FileEdit;
    case Opcode::ShowText: return TimeClass::WindowText;
    default: return TimeClass::Other;
  }
}

void Charge(TimeClass c) {
  // The first step's progress starts the clock.
  if (gTiming.mark == 0) {
    TimingStart(gTiming);
    return;
  }
  TimingCharge(gTiming, static_cast<int>(c));
}

}  // namespace

void TimeStepProgress() { Charge(TimeClass::Progress); }

void TimeStepWork(const ScriptStep& step) {
  Charge(ClassOf(step.opcode));
  // The script's end marker follows: what the run has cost so far is written, and the
  // write itself is charged to nothing.
  if ((&step)[1].a == 0) {
    TimingWrite(gTiming, kTimeClassNames, static_cast<int>(TimeClass::Count));
    TimingStart(gTiming);
  }
}
