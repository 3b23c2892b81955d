// The installation run: the third page's start, the worker, the finish page.
#pragma once

void StartInstallation();
void FinishInstallation();
// True from the worker's start until it has shown the finish page.
bool InstallationRunning();
