#pragma once

#include <string>

// The font a dialog should draw with to look at home on this desktop: the TrueType or OpenType
// file that fontconfig chooses for "sans-serif", at the pixel size of an 8-point dialog font
// at the display's resolution.
struct DesktopFont {
    std::string path;        // empty when fontconfig offers no file a dialog can draw with
    float pixelSize = 13.0f; // the line height, in pixels

    // The display's resolution in dots per inch (96 when unknown) sets the size.
    static DesktopFont Find(float dotsPerInch);
    // 13 pixels at 96 DPI, growing in steps of a quarter with the resolution, between 1 and 3 times.
    static float PixelSizeFor(float dotsPerInch);
};
