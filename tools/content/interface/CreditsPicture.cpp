#include "tools/content/interface/CreditsPicture.h"

#include <algorithm>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/InterfaceFonts.h"
#include "tools/content/interface/MetalLettering.h"
#include "tools/content/interface/PictureFiles.h"
#include "tools/content/interface/Shapes.h"

namespace {

constexpr int kWidth = 1024;  // pixels; the whole 4:3 screen
constexpr int kHeight = 768;

// The player's HUD stays on the screen under the credits, over its top-left corner (a quarter of
// the width, an eighth of the height): the name stands below it.
constexpr float kHudMargin = 8.0f;  // pixels of clear space around it
constexpr TextStyle kNameStyle{124.0f, 10.0f, 1.2f};
constexpr float kNameBaseline = 236.0f;
constexpr float kNameVeilCentre = 226.0f;
constexpr TextStyle kSubtitleStyle{40.0f, 3.0f, 1.0f};
constexpr float kSubtitleBaseline = 298.0f;

// The panel, below the ship in the middle of the screen.
constexpr float kPanelLeft = 172.0f;
constexpr float kPanelTop = 418.0f;
constexpr float kPanelRight = 852.0f;
constexpr float kPanelBottom = 738.0f;
constexpr float kPanelCut = 22.0f;  // pixels cut off each corner
constexpr Rgba kPanelColour{0.015f, 0.03f, 0.045f, 0.72f};
constexpr TextStyle kThanksStyle{44.0f, 2.0f, 1.0f};
constexpr float kThanksBaseline = 482.0f;
constexpr TextStyle kCreditStyle{25.0f, 1.0f, 1.0f};
constexpr float kFirstCreditBaseline = 552.0f;
constexpr float kCreditSpacing = 38.0f;
constexpr float kCreditGutter = 14.0f;  // pixels either side of the middle between role and maker
constexpr TextStyle kEngineStyle{21.0f, 1.0f, 1.0f};
constexpr float kEngineBaseline = 712.0f;

constexpr Rgba kAccent{0.1f, 0.85f, 0.95f, 1.0f};
constexpr Rgba kHaze{0.0f, 0.02f, 0.04f, 0.45f};
constexpr Rgba kTextColour{0.92f, 0.98f, 1.0f, 1.0f};
constexpr Rgba kRoleColour{0.35f, 0.85f, 0.92f, 1.0f};
constexpr Rgba kQuietColour{0.6f, 0.72f, 0.78f, 1.0f};

struct Credit {
    const char* role;
    const char* maker;
};
constexpr Credit kCredits[] = {
    {"Design", "the Zelmar developers"},
    {"Programming", "the Zelmar developers"},
    {"Art", "the Zelmar developers"},
    {"Music", "the Zelmar developers"},
};

// Light text with a soft dark shadow, so that it reads over bright scenery as well.
void PaintText(Canvas& canvas, const Mask& text, const Rgba& colour)
{
    canvas.Fill(text.Shifted(1, 2).Blurred(1.5f).Scaled(1.5f, true), Rgba{0.0f, 0.0f, 0.0f, 0.85f});
    canvas.Fill(text, colour);
}

void PaintTitle(Canvas& canvas, const InterfaceFonts& fonts)
{
    const Mask veil = Coverage(kWidth, kHeight, shape::Box({0.5f * kWidth, kNameVeilCentre}, 330.0f, 90.0f, 60.0f)).Blurred(30.0f);
    canvas.Fill(veil, kHaze);
    Mask name(kWidth, kHeight);
    fonts.sansBold.DrawCentred(name, "ZELMAR", kNameStyle, 0.5f * kWidth, kNameBaseline);
    PaintMetalLettering(canvas, name, kAccent);
    Mask subtitle(kWidth, kHeight);
    fonts.serifBold.DrawCentred(subtitle, "The Brondel", kSubtitleStyle, 0.5f * kWidth, kSubtitleBaseline);
    canvas.AddLight(subtitle.Blurred(5.0f).Scaled(0.7f), WithAlpha(kAccent, 0.6f));
    PaintText(canvas, subtitle, kTextColour);
}

void PaintPanel(Canvas& canvas)
{
    const float cuts[4] = {kPanelCut, kPanelCut, kPanelCut, kPanelCut};
    const Sdf panel = shape::ChamferedBox(kPanelLeft, kPanelTop, kPanelRight, kPanelBottom, cuts);
    canvas.Fill(Coverage(kWidth, kHeight, shape::Grown(panel, 6.0f)).Blurred(6.0f), Rgba{0.0f, 0.0f, 0.0f, 0.35f});
    canvas.Fill(Coverage(kWidth, kHeight, panel), kPanelColour);
    const Mask border = Coverage(kWidth, kHeight, shape::Outline(shape::Grown(panel, -5.0f), 0.9f));
    canvas.AddLight(border.Blurred(3.0f).Scaled(0.8f), WithAlpha(kAccent, 0.5f));
    canvas.Fill(border, Lerp(kAccent, kTextColour, 0.3f));
}

void PaintCredits(Canvas& canvas, const InterfaceFonts& fonts)
{
    Mask thanks(kWidth, kHeight);
    fonts.sansBold.DrawCentred(thanks, "Thanks for playing", kThanksStyle, 0.5f * kWidth, kThanksBaseline);
    canvas.AddLight(thanks.Blurred(6.0f).Scaled(0.6f), WithAlpha(kAccent, 0.5f));
    PaintText(canvas, thanks, kTextColour);

    // Roles end and makers start at one gutter, placed so that the widest of each stand centred.
    float widestRole = 0.0f;
    float widestMaker = 0.0f;
    for (const Credit& credit : kCredits) {
        widestRole = std::max(widestRole, fonts.sansBold.Measure(credit.role, kCreditStyle));
        widestMaker = std::max(widestMaker, fonts.sans.Measure(credit.maker, kCreditStyle));
    }
    const float gutter = 0.5f * kWidth + 0.5f * (widestRole - widestMaker);
    Mask roles(kWidth, kHeight);
    Mask makers(kWidth, kHeight);
    float baseline = kFirstCreditBaseline;
    for (const Credit& credit : kCredits) {
        const float roleWidth = fonts.sansBold.Measure(credit.role, kCreditStyle);
        fonts.sansBold.Draw(roles, credit.role, kCreditStyle, gutter - kCreditGutter - roleWidth, baseline);
        fonts.sans.Draw(makers, credit.maker, kCreditStyle, gutter + kCreditGutter, baseline);
        baseline += kCreditSpacing;
    }
    PaintText(canvas, roles, kRoleColour);
    PaintText(canvas, makers, kTextColour);

    Mask engine(kWidth, kHeight);
    fonts.sans.DrawCentred(engine, "made with Harnengine", kEngineStyle, 0.5f * kWidth, kEngineBaseline);
    PaintText(canvas, engine, kQuietColour);
}

Canvas Credits(const InterfaceFonts& fonts)
{
    Canvas canvas(kWidth, kHeight);
    PaintTitle(canvas, fonts);
    PaintPanel(canvas);
    PaintCredits(canvas, fonts);
    // The HUD's corner stays clear of the haze and the glows that reach into it.
    const Sdf hud = shape::Box({0.125f * kWidth, 0.0625f * kHeight}, 0.125f * kWidth + kHudMargin, 0.0625f * kHeight + kHudMargin);
    canvas.Erase(Coverage(kWidth, kHeight, hud).Blurred(0.5f * kHudMargin));
    return canvas;
}

}  // namespace

void MakeCreditsPicture(const InterfaceFonts& fonts, AssetSet& assets)
{
    picture_files::AddTga(assets, "end_credits.tga", Credits(fonts));
}
