// setup.exe started with options: the usage, a refused command line, or the
// unattended installation, and the exit code of each.
#pragma once
#include "setup/command_line.h"

enum SilentExit : unsigned {
  kExitInstalled = 0,
  kExitBadOption = 1,           // an option unknown or malformed
  kExitNotOffered = 2,          // a component named is not offered on this machine
  kExitDestinationRefused = 3,  // too long, not absolute, cannot be made
  kExitNotStarted = 4,          // the installation could not be started
  kExitNotAllWritten = 5,       // installed, but some of it could not be written
  kExitDamaged = 6,             // a payload resource is not what the build put there
};

// Said before anything is written when the payload check fails: in a message box by
// the wizard, on the console by the unattended run.
extern const char kDamagedText[];

// Carries out what options ask for (any kind but Wizard) and returns the exit code.
unsigned RunFromCommandLine(const SetupOptions& options);
