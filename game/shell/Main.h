#pragma once

// The program: the data check, the settings dialog, the display in the chosen mode, then the
// title screen and the level in turn, each level play kept as a replay. Returns the process's
// exit status: 0 after the player leaves (or cancels the dialog), 1 when the data is missing or
// damaged or no window can be shown.
int Main();
