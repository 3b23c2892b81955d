// The install script interpreter: runs one script's steps over the setup state.
#pragma once
#include "engine/script_step.h"

// Dialog items the interpreter touches: the progress bar it steps once per step.
inline constexpr int kProgressBarId = 106;

// Runs the steps up to the first one without a. Every step advances the progress
// bar of gSetup.dialog by one and expands a into PathBuffer; no step stops the run.
// Needs gSetup's buffers allocated and gSetup.log open.
void RunScript(const ScriptStep* script);
