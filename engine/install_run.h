// The installation run: the third page's start, the worker, the finish page.
#pragma once

void StartInstallation();
void FinishInstallation();
// True from the worker's start until it has shown the finish page.
bool InstallationRunning();
// True when the third page was reached and its worker could not be started.
bool InstallationNotStarted();
// Read once the run has ended: the files, folders, registry values and package builds
// it could not make (the finish page's message line counts them), and the first of
// them by its path (empty when there was none).
int InstallFailureCount();
const char* FirstInstallFailure();
