// The install script interpreter: runs one script's steps over the setup state.
#pragma once
#include "engine/script_step.h"

// Runs the steps up to the first one without a, their texts read from texts. Every step adds one to
// gSetup.stepsDone, expands a into PathBuffer and ends with its diagnostic lines written out; no step
// stops the run.
// A file, folder or registry value that could not be written, and a build that left
// no package for the copy after it, count in gSetup.failures; the log is the same.
// Needs gSetup's buffers allocated and gSetup.log open.
void RunScript(const ScriptStep* script, const char* texts);
