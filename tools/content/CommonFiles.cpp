#include "tools/content/CommonFiles.h"

#include <fstream>
#include <iterator>

#include "engine/scene/Picture.h"
#include "tools/content/AssetSet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr uint32_t kNeutralSize = 16;  // pixels: one flat value needs no more
const char* const kScriptName = "teste.lvl";

}  // namespace

void MakeCommonFiles(AssetSet& assets)
{
    Picture flat;
    AllocatePicture(flat, kNeutralSize, kNeutralSize);
    for (size_t i = 0; i < flat.rgba.size(); i += 4) {
        flat.rgba[i] = 128;
        flat.rgba[i + 1] = 128;
        flat.rgba[i + 2] = 255;
        flat.rgba[i + 3] = 255;
    }
    assets.Add("bump_neutral.jpg", PictureWriter::Jpeg(flat, kNormalQuality));

    const std::string source = assets.SourceFolder() + "/" + kScriptName;
    std::ifstream script(source, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(script), {});
    if (bytes.empty()) {
        assets.Fail("cannot read the level script " + source);
        return;
    }
    assets.Add(kScriptName, bytes);
}
