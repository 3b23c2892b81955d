// The wizard dialog procedure and the page switch.
#pragma once
#include <windows.h>

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowStep();
