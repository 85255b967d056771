#include "tools/content/interface/InterfaceFonts.h"

bool InterfaceFonts::Open(const std::string& directory, std::string& missingFile)
{
    const struct {
        FontFace* face;
        const char* file;
    } faces[] = {
        {&sans, "DejaVuSans.ttf"},
        {&sansBold, "DejaVuSans-Bold.ttf"},
        {&serifBold, "DejaVuSerif-Bold.ttf"},
    };
    for (const auto& entry : faces) {
        const std::string path = directory + "/" + entry.file;
        if (!entry.face->Open(path)) {
            missingFile = path;
            return false;
        }
    }
    return true;
}
