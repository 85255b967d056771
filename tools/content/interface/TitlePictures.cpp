#include "tools/content/interface/TitlePictures.h"

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/InterfaceFonts.h"
#include "tools/content/interface/MetalLettering.h"
#include "tools/content/interface/PictureFiles.h"
#include "tools/content/interface/Shapes.h"

// The title screen lays the banner over the upper half of the screen (alpha-blended over the
// flyover) and adds the prompt over x 0.25–0.75, y 0.9–0.95, so black in the prompt shows nothing.
namespace {

constexpr int kBannerWidth = 1024;  // pixels; 8:3 like the upper half of a 4:3 screen
constexpr int kBannerHeight = 384;
constexpr float kTitleMaxWidth = 860.0f;  // pixels the name may span
constexpr float kTitleBaseline = 238.0f;
constexpr TextStyle kTitleStyle{200.0f, 16.0f, 1.22f};
constexpr float kSubtitleBaseline = 318.0f;
constexpr TextStyle kSubtitleStyle{58.0f, 5.0f, 1.0f};
constexpr float kRuleGap = 26.0f;     // pixels between the subtitle and the lines beside it
constexpr float kRuleLength = 170.0f;
constexpr Rgba kHaze{0.0f, 0.02f, 0.04f, 0.5f};  // the dark veil that keeps the name readable
constexpr Rgba kAccent{0.1f, 0.85f, 0.95f, 1.0f};
constexpr Rgba kSubtitleColour{0.82f, 0.97f, 1.0f, 1.0f};

constexpr int kPromptWidth = 640;  // pixels; 40:3 like 0.5 × 0.05 of a 4:3 screen
constexpr int kPromptHeight = 48;
constexpr float kPromptBaseline = 35.0f;
constexpr TextStyle kPromptStyle{30.0f, 9.0f, 1.0f};
constexpr Rgba kPromptColour{0.7f, 0.96f, 1.0f, 1.0f};

// A soft dark veil behind the lettering, fading out long before the picture's edges.
void PaintHaze(Canvas& canvas)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Mask veil = Coverage(w, h, shape::Box({0.5f * w, 0.53f * h}, 0.36f * w, 0.26f * h, 0.2f * h)).Blurred(0.07f * h);
    canvas.Fill(veil, kHaze);
}

void PaintSubtitle(Canvas& canvas, const InterfaceFonts& fonts)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const char* subtitle = "The Brondel";
    const float half = 0.5f * fonts.serifBold.Measure(subtitle, kSubtitleStyle);
    Mask text(w, h);
    fonts.serifBold.DrawCentred(text, subtitle, kSubtitleStyle, 0.5f * w, kSubtitleBaseline);
    const float ruleY = kSubtitleBaseline - 0.36f * kSubtitleStyle.pixelHeight;
    Mask rules(w, h);
    for (float side : {-1.0f, 1.0f}) {
        const float inner = 0.5f * w + side * (half + kRuleGap);
        const float outer = inner + side * kRuleLength;
        const Sdf rule = shape::Union(shape::Segment({inner, ruleY}, {outer, ruleY}, 1.6f),
                                      shape::Polygon({{inner - side * 2.0f, ruleY}, {inner + side * 8.0f, ruleY - 6.0f},
                                                      {inner + side * 18.0f, ruleY}, {inner + side * 8.0f, ruleY + 6.0f}}));
        rules = rules.Max(Coverage(w, h, rule));
    }
    const Mask shapes = text.Max(rules);
    canvas.Fill(shapes.Shifted(2, 3).Blurred(2.0f).Scaled(1.4f, true), Rgba{0.0f, 0.0f, 0.0f, 0.8f});
    canvas.AddLight(shapes.Blurred(7.0f).Scaled(0.8f), WithAlpha(kAccent, 0.7f));
    canvas.Fill(rules, kAccent);
    canvas.Fill(text, kSubtitleColour);
}

Canvas Banner(const InterfaceFonts& fonts)
{
    Canvas canvas(kBannerWidth, kBannerHeight);
    PaintHaze(canvas);
    TextStyle style = kTitleStyle;
    const float width = fonts.sansBold.Measure("ZELMAR", style);
    if (width > kTitleMaxWidth) {
        style.pixelHeight *= kTitleMaxWidth / width;
        style.tracking *= kTitleMaxWidth / width;
    }
    Mask letters(kBannerWidth, kBannerHeight);
    fonts.sansBold.DrawCentred(letters, "ZELMAR", style, 0.5f * kBannerWidth, kTitleBaseline);
    PaintMetalLettering(canvas, letters, kAccent);
    PaintSubtitle(canvas, fonts);
    return canvas;
}

Canvas Prompt(const InterfaceFonts& fonts)
{
    Canvas canvas(kPromptWidth, kPromptHeight, Rgba{0.0f, 0.0f, 0.0f, 1.0f});
    Mask text(kPromptWidth, kPromptHeight);
    fonts.sansBold.DrawCentred(text, "PRESS ENTER", kPromptStyle, 0.5f * kPromptWidth, kPromptBaseline);
    canvas.AddLight(text.Blurred(5.0f).Scaled(0.7f), kAccent);
    canvas.AddLight(text, kPromptColour);
    return canvas;
}

}  // namespace

void MakeTitlePictures(const InterfaceFonts& fonts, AssetSet& assets)
{
    picture_files::AddTga(assets, "banner.tga", Banner(fonts));
    picture_files::AddJpeg(assets, "tetters.jpg", Prompt(fonts));
}
