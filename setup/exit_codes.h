// setup.exe's exit codes: what the unattended run returns, and what the package
// manifest's table of expected return codes is generated from. Portable.
#pragma once

enum SilentExit : unsigned {
  kExitInstalled = 0,
  kExitBadOption = 1,           // an option unknown or malformed, or the /LOG= file not created
  kExitNotOffered = 2,          // a component named is not offered on this machine
  kExitDestinationRefused = 3,  // too long, not absolute, cannot be made
  kExitNotStarted = 4,          // the installation could not be started
  kExitNotAllWritten = 5,       // installed, but some of it could not be written
  kExitDamaged = 6,             // the program's own payload failed its check at start-up
  kExitCancelled = 7,           // the wizard was left before the installation started
  kExitIdeRunning = 8,          // a selected IDE is running; nothing was written
};
// Codes 0 up to here; a new code raises it, and the manifest generator's table must follow.
inline constexpr unsigned kLastExitCode = kExitIdeRunning;
