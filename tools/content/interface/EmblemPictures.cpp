#include "tools/content/interface/EmblemPictures.h"

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Emblem.h"
#include "tools/content/interface/InterfaceFonts.h"
#include "tools/content/interface/PictureFiles.h"
#include "tools/content/interface/Plating.h"

namespace {

// The dialog shows the bitmap at its own size in a static picture control.
constexpr int kLogoWidth = 126;  // pixels
constexpr int kLogoHeight = 89;
constexpr Point kLogoEmblemCentre{63.0f, 36.0f};
constexpr float kLogoEmblemRadius = 34.0f;
constexpr float kLogoNameBaseline = 84.0f;
constexpr TextStyle kLogoNameStyle{15.0f, 3.0f, 1.1f};
constexpr Rgba kLogoBackground{0.07f, 0.08f, 0.1f, 1.0f};
constexpr Rgba kLogoName{0.78f, 0.95f, 1.0f, 1.0f};
constexpr Rgba kAccent{0.1f, 0.85f, 0.95f, 1.0f};

constexpr int kIconSide = 256;  // pixels, the largest size desktops ask for
constexpr float kIconEmblemRadius = 124.0f;

Canvas Logo(const InterfaceFonts& fonts)
{
    Canvas canvas(kLogoWidth, kLogoHeight, kLogoBackground);
    plating::PlateStyle style;
    style.metal = Scaled(style.metal, 0.45f);
    style.bevel = 2.0f;
    style.noiseScale = 0.4f;
    const float cuts[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    plating::Plate(canvas, shape::ChamferedBox(0.0f, 0.0f, kLogoWidth, kLogoHeight, cuts), style);
    PaintEmblem(canvas, kLogoEmblemCentre, kLogoEmblemRadius);
    Mask name(kLogoWidth, kLogoHeight);
    fonts.sansBold.DrawCentred(name, "ZELMAR", kLogoNameStyle, 0.5f * kLogoWidth, kLogoNameBaseline);
    canvas.AddLight(name.Blurred(2.0f).Scaled(0.6f), kAccent);
    canvas.Fill(name, kLogoName);
    return canvas;
}

Canvas Icon()
{
    Canvas canvas(kIconSide, kIconSide);
    PaintEmblem(canvas, {0.5f * kIconSide, 0.5f * kIconSide}, kIconEmblemRadius);
    return canvas;
}

}  // namespace

void MakeEmblemPictures(const InterfaceFonts& fonts, AssetSet& assets)
{
    picture_files::AddBmp(assets, "logo.bmp", Logo(fonts));
    picture_files::AddPng(assets, "icon.png", Icon());
}
