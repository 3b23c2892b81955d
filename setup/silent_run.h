// setup.exe started with options: the usage, a refused command line, or the
// unattended installation, and the exit code of each.
#pragma once
#include "setup/command_line.h"
#include "setup/exit_codes.h"

// Opens the /LOG= file when one is given, before anything else is written. False when
// it cannot be created, said in a message box for the wizard, on the console otherwise.
bool OpenRunLog(const SetupOptions& options);

// Said before anything is written when the payload check fails: in a message box by
// the wizard, on the console by the unattended run.
extern const char kDamagedText[];

// How a run that reached the finish page ended, in the wizard as unattended: the one
// place that says so.
unsigned FinishedRunExitCode();

// Carries out what options ask for (any kind but Wizard) and returns the exit code.
unsigned RunFromCommandLine(const SetupOptions& options);
