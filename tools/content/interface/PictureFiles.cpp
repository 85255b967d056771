#include "tools/content/interface/PictureFiles.h"

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Canvas.h"
#include "tools/modelwriter/PictureWriter.h"

namespace picture_files {

namespace {
constexpr int kJpegQuality = 95;  // high: ringing on black would show as grey specks when added
}

void AddTga(AssetSet& assets, const std::string& name, const Canvas& canvas)
{
    PictureWriter::TgaOptions options;
    options.alpha = true;
    options.runLength = true;
    assets.Add(name, PictureWriter::Tga(canvas.ToPicture(), options));
}

void AddJpeg(AssetSet& assets, const std::string& name, const Canvas& canvas)
{
    assets.Add(name, PictureWriter::Jpeg(canvas.ToPicture(), kJpegQuality));
}

void AddBmp(AssetSet& assets, const std::string& name, const Canvas& canvas)
{
    assets.Add(name, PictureWriter::Bmp(canvas.ToPicture(), 24, false));
}

void AddPng(AssetSet& assets, const std::string& name, const Canvas& canvas)
{
    assets.Add(name, PictureWriter::Png(canvas.ToPicture()));
}

}  // namespace picture_files
