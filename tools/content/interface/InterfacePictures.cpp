#include "tools/content/interface/InterfacePictures.h"

#include <cstdio>
#include <cstdlib>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/CreditsPicture.h"
#include "tools/content/interface/EffectPictures.h"
#include "tools/content/interface/EmblemPictures.h"
#include "tools/content/interface/HudPictures.h"
#include "tools/content/interface/InterfaceFonts.h"
#include "tools/content/interface/TitlePictures.h"

bool PaintInterfacePictures(AssetSet& assets, const std::string& fontDirectory, std::string& error)
{
    InterfaceFonts fonts;
    std::string missing;
    if (!fonts.Open(fontDirectory, missing)) {
        error = "cannot read the font " + missing + " (Debian package fonts-dejavu-core)";
        return false;
    }
    MakeHudPictures(fonts, assets);
    MakeTitlePictures(fonts, assets);
    MakeEffectPictures(assets);
    MakeCreditsPicture(fonts, assets);
    MakeEmblemPictures(fonts, assets);
    return true;
}

void MakeInterfacePictures(AssetSet& assets)
{
    std::string error;
    if (!PaintInterfacePictures(assets, kDejaVuFontDirectory, error)) {
        std::fprintf(stderr, "zelmar_content: %s\n", error.c_str());
        std::exit(1);
    }
}
