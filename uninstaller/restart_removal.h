// Files and folders of the log that are in use at uninstall time, left for Windows
// to delete at the next restart.
#pragma once
#include <windows.h>

#include <cstddef>

// Deletes a file the log names through the handle it was checked by. One that is in
// use (held open by another program, or the running uninstaller's own file) is
// scheduled for deletion at the next restart. False, with nothing done, when the file
// is a link or has a second name.
bool DeleteOrSchedule(const char* path);

// After the directories have been removed: schedules, deepest first, every logged
// folder that is still there and holds a scheduled file. Windows removes a scheduled
// folder only if it is empty by then, in the order scheduled, after the files.
void ScheduleHoldingFolders(const char* const* folders, std::size_t count);

// Whether this run scheduled anything: a restart then completes the removal.
bool RestartCompletesRemoval();
// Whether it scheduled a file other than the uninstaller's own: the removal is then
// not complete until the restart (exit code 3010), while its own file never needs one.
bool RestartNeeded();

// Marks the open object deleted; Windows removes it when the handle is closed. The
// handle is closed here; false with the error of the mark.
bool DeleteThroughHandle(HANDLE object);
