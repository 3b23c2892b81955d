// IDE detection and the component page's choices: which rows are offered, the
// proposed destination, and reading the user's ticks back when installing starts.
#pragma once

void PrepareComponentPage();
void CollectChoices();
// Sum of the selected rows' script steps; also sets the progress bar's range to it.
int CountSelectedSteps();
