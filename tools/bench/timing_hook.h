// The timing table behind the programs' timing seams, in the timing builds only: time
// charged to kinds of work between marks, written as "kind count microseconds" lines
// to the file named by TARVEL_TIMING_FILE.
#pragma once
#include <windows.h>

#include "engine/part_timing.h"

inline constexpr int kTimingKindCapacity = 16;

struct TimingHook {
  LONGLONG ticks[kTimingKindCapacity];
  DWORD counts[kTimingKindCapacity];
  LONGLONG mark;  // 0 until the timed part begins
};

inline LONGLONG TimingNow() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

inline void TimingStart(TimingHook& hook) { hook.mark = TimingNow(); }

// Charges the time since the last mark to `kind`; nothing before the timed part begins.
inline void TimingCharge(TimingHook& hook, int kind) {
  if (hook.mark == 0 || kind < 0 || kind >= kTimingKindCapacity) return;
  const LONGLONG now = TimingNow();
  hook.ticks[kind] += now - hook.mark;
  ++hook.counts[kind];
  hook.mark = now;
}

// The parts each defence is timed in (tools/bench/part_timing.cpp), written after the
// kinds of work: they are part of those kinds, not beside them.
extern TimingHook gPartTiming;
extern const char* const kPartNames[];
inline constexpr int kTimedPartCount = static_cast<int>(TimedPart::Count);

inline void TimingWriteRows(HANDLE file, const TimingHook& hook, const char* const* names, int count) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < count && i < kTimingKindCapacity; ++i) {
    char line[96];
    const unsigned long micros = static_cast<unsigned long>(hook.ticks[i] * 1000000 / frequency.QuadPart);
    const int len = wsprintfA(line, "%s %lu %lu\r\n", names[i], hook.counts[i], micros);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(len), &written, nullptr);
  }
}

inline void TimingWrite(const TimingHook& hook, const char* const* names, int count) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("TARVEL_TIMING_FILE", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  TimingWriteRows(file, hook, names, count);
  TimingWriteRows(file, gPartTiming, kPartNames, kTimedPartCount);
  CloseHandle(file);
}
