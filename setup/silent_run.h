// setup.exe started with options: the usage, a refused command line, or the
// unattended installation, and the exit code of each.
#pragma once
#include "setup/command_line.h"
#include "setup/exit_codes.h"

// The first line of setup.exe's /LOG= file, before the version.
inline constexpr char kDiagLogTitle[] = "Tarvel Lib setup";

// Carries out what options ask for (any kind but Wizard) and returns the exit code.
unsigned RunFromCommandLine(const SetupOptions& options);
