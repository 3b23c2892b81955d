// IDE detection and the component page's choices: which rows are offered, the
// proposed destination, and reading the user's ticks back when installing starts.
#pragma once
#include <windows.h>

void PrepareComponentPage();
void CollectChoices();
// The destination as typed must name a folder that exists or can be made, with room
// for the longest path that the ticked components and the uninstall log put below it;
// otherwise returns why, and leaves no folder it made. nullptr: accepted, and the
// folder is there.
const char* DestinationRefusal();
// DestinationRefusal for Next: a refusal is said in a message box, and the wizard
// stays on the component page.
bool AcceptDestination();
// None of the IDEs ticked now runs, or, with an owner, none runs once the box that
// names them is answered with Retry; with closeApplications (and no owner) the IDEs
// are asked to close first. False: leave everything unwritten.
bool SelectedIdesClosed(HWND owner, bool closeApplications);
// Sum of the selected rows' script steps; also sets the progress bar's range to it.
int CountSelectedSteps();
