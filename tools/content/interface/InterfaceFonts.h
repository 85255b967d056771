#pragma once

#include <string>

#include "tools/content/interface/FontFace.h"

// The DejaVu faces the interface pictures are lettered with (Debian's fonts-dejavu-core).
struct InterfaceFonts {
    FontFace sans;
    FontFace sansBold;
    FontFace serifBold;

    // Opens every face from the folder; on failure names the first file that could not be read.
    bool Open(const std::string& directory, std::string& missingFile);
};
