#include "game/shell/DesktopFont.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr float kDialogFontPixels = 13.0f;  // an 8-point dialog font at 96 DPI
constexpr float kReferenceDotsPerInch = 96.0f;
constexpr float kSmallestScale = 1.0f;
constexpr float kLargestScale = 3.0f;

// stb_truetype, which the dialog's toolkit draws with, reads outline fonts only.
bool IsOutlineFont(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == "ttf" || extension == "otf";
}

std::string MatchSansSerif()
{
    if (!FcInit()) return {};
    std::string path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    if (pattern == nullptr) return {};
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

}  // namespace

float DesktopFont::PixelSizeFor(float dotsPerInch)
{
    if (!(dotsPerInch > 0.0f)) dotsPerInch = kReferenceDotsPerInch;
    const float quarters = std::round(dotsPerInch / kReferenceDotsPerInch * 4.0f) / 4.0f;
    return kDialogFontPixels * std::clamp(quarters, kSmallestScale, kLargestScale);
}

DesktopFont DesktopFont::Find(float dotsPerInch)
{
    DesktopFont font;
    font.pixelSize = PixelSizeFor(dotsPerInch);
    const std::string path = MatchSansSerif();
    if (IsOutlineFont(path)) font.path = path;
    return font;
}
