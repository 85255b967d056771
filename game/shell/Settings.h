#pragma once

#include <cstdint>

// The player's choice in the settings dialog.
struct Settings {
    bool cancelled = true;   // no mode confirmed: the program ends
    int32_t width = 0;       // pixels
    int32_t height = 0;      // pixels
    int32_t refreshRate = 0; // Hz
    bool windowed = false;   // a window of the chosen size instead of a full-screen mode
    bool failed = false;     // the dialog could not be shown at all
};
