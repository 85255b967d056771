#include "tools/content/interface/InterfacePreviews.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

#include "engine/scene/Picture.h"
#include "tools/content/AssetSet.h"
#include "tools/content/interface/Rgba.h"
#include "tools/content/interface/Noise.h"
#include "tools/content/interface/PaintMath.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kScreenWidth = 640;  // the game's smallest sensible mode, 4:3
constexpr int kScreenHeight = 480;
constexpr int kPlayerHealthShown = 3;  // of 5, so that empty slots show too
constexpr int kBossBarsShown = 11;     // of 15
constexpr uint32_t kBackdropSeed = 77;
constexpr float kLampReach = 16.0f;  // squared lamp radii beyond which a lamp's light is nil

enum class Blend { Additive, Alpha };  // the renderer's modes 1 and 3

// An opaque picture being composed, in floats.
struct Screen {
    int width;
    int height;
    std::vector<Rgba> pixels;

    Screen(int w, int h, const Rgba& fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

Rgba Texel(const Picture& picture, int x, int y)
{
    // Textures wrap, as the game binds them.
    const int w = static_cast<int>(picture.width);
    const int h = static_cast<int>(picture.height);
    x = ((x % w) + w) % w;
    y = ((y % h) + h) % h;
    const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + static_cast<size_t>(x)) * 4];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
}

Rgba Sample(const Picture& picture, float u, float v)
{
    const float x = u * picture.width - 0.5f;
    const float y = v * picture.height - 0.5f;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0;
    const float fy = y - y0;
    const Rgba top = Lerp(Texel(picture, x0, y0), Texel(picture, x0 + 1, y0), fx);
    const Rgba bottom = Lerp(Texel(picture, x0, y0 + 1), Texel(picture, x0 + 1, y0 + 1), fx);
    return Lerp(top, bottom, fy);
}

// A sprite as the renderer draws one: corners at (size − 1) × the screen fraction, texture
// coordinates 0 to 1 between them, the colour multiplying the texture.
void DrawSprite(Screen& screen, const Picture& picture, float x0, float y0, float x1, float y1, Blend blend,
                float brightness = 1.0f)
{
    const float left = (screen.width - 1) * x0;
    const float top = (screen.height - 1) * y0;
    const float right = (screen.width - 1) * x1;
    const float bottom = (screen.height - 1) * y1;
    for (int y = std::max(0, static_cast<int>(std::ceil(top))); y < std::min(screen.height, static_cast<int>(std::ceil(bottom))); ++y) {
        for (int x = std::max(0, static_cast<int>(std::ceil(left))); x < std::min(screen.width, static_cast<int>(std::ceil(right))); ++x) {
            const Rgba texel = Sample(picture, (x - left) / (right - left), (y - top) / (bottom - top));
            Rgba& out = screen.At(x, y);
            if (blend == Blend::Additive) {
                out = {out.r + texel.r * brightness, out.g + texel.g * brightness, out.b + texel.b * brightness, 1.0f};
            } else {
                out = Lerp(out, Rgba{texel.r * brightness, texel.g * brightness, texel.b * brightness, 1.0f}, texel.a);
            }
        }
    }
}

// A stand-in for the scenery far below: dark plates in a grid with grime and a few teal lights.
Screen Backdrop(int width, int height, float brightness)
{
    Screen screen(width, height, Rgba{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float grime = noise::Fractal(x / 90.0f, y / 90.0f, 5, kBackdropSeed);
            const bool seam = (x % 80) < 2 || (y % 80) < 2;
            const float level = (0.05f + 0.12f * grime) * (seam ? 0.45f : 1.0f) * brightness;
            float light = 0.0f;
            for (int lamp = 0; lamp < 4; ++lamp) {
                const float lx = width * (0.15f + 0.23f * lamp);
                const float ly = height * (0.35f + 0.4f * noise::Lattice(lamp, 0, kBackdropSeed));
                const float d2 = ((x - lx) * (x - lx) + (y - ly) * (y - ly)) / (0.02f * width * width);
                if (d2 < kLampReach) light += static_cast<float>(paint::Exp(-d2)) * 0.5f * brightness;
            }
            screen.At(x, y) = {level * 0.85f + 0.1f * light, level + 0.55f * light, level * 1.15f + 0.6f * light, 1.0f};
        }
    }
    return screen;
}

Screen Checkerboard(int width, int height)
{
    Screen screen(width, height, Rgba{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float level = ((x / 16 + y / 16) % 2 == 0) ? 0.42f : 0.5f;
            screen.At(x, y) = {level, level, level, 1.0f};
        }
    }
    return screen;
}

Picture ToPicture(const Screen& screen)
{
    Picture picture;
    if (!AllocatePicture(picture, static_cast<uint32_t>(screen.width), static_cast<uint32_t>(screen.height))) return picture;
    const auto byte = [](float v) { return static_cast<uint8_t>(std::floor(paint::Clamp01(v) * 255.0f + 0.5f)); };
    for (size_t i = 0; i < screen.pixels.size(); ++i) {
        picture.rgba[i * 4 + 0] = byte(screen.pixels[i].r);
        picture.rgba[i * 4 + 1] = byte(screen.pixels[i].g);
        picture.rgba[i * 4 + 2] = byte(screen.pixels[i].b);
        picture.rgba[i * 4 + 3] = 255;
    }
    return picture;
}

const char* const kPreviewed[] = {"hud_player.tga", "barra_player.tga", "hud_boss.tga", "barra_boss.tga", "banner.tga",
                                  "tetters.jpg",    "exp0.tga",         "exp1.tga",     "exp2.tga",       "exp3.tga",
                                  "exp4.tga",       "exp5.tga",         "exp6.tga",     "exp7.tga",       "shock.jpg",
                                  "tiro.jpg",       "end_credits.tga",  "logo.bmp",     "icon.png"};

class PreviewWriter {
public:
    PreviewWriter(const AssetSet& assets, std::string directory, std::string& error)
        : assets_(assets), directory_(std::move(directory)), error_(error)
    {
    }

    // The decoded picture of that name, or null (with the error set) when it was not made or
    // does not decode.
    const Picture* Get(const std::string& name)
    {
        auto found = decoded_.find(name);
        if (found != decoded_.end()) return &found->second;
        const AssetSet::File* file = assets_.Find(name);
        Picture picture;
        if (file == nullptr || !DecodePicture(file->bytes.data(), file->bytes.size(), picture)) {
            error_ = "no picture " + name + " to preview";
            return nullptr;
        }
        return &decoded_.emplace(name, std::move(picture)).first->second;
    }

    bool Write(const std::string& name, const Screen& screen)
    {
        const std::vector<uint8_t> bytes = PictureWriter::Png(ToPicture(screen));
        std::ofstream out(directory_ + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) error_ = "cannot write " + directory_ + "/" + name;
        return static_cast<bool>(out);
    }

private:
    const AssetSet& assets_;
    std::string directory_;
    std::string& error_;
    std::map<std::string, Picture> decoded_;
};

bool HudSheet(PreviewWriter& writer)
{
    const Picture* frame = writer.Get("hud_player.tga");
    const Picture* segment = writer.Get("barra_player.tga");
    const Picture* bossFrame = writer.Get("hud_boss.tga");
    const Picture* bossSegment = writer.Get("barra_boss.tga");
    if (!frame || !segment || !bossFrame || !bossSegment) return false;
    Screen screen = Backdrop(kScreenWidth, kScreenHeight, 1.0f);
    DrawSprite(screen, *frame, 0.0f, 0.0f, 0.25f, 0.125f, Blend::Alpha);
    for (int i = 0; i < kPlayerHealthShown; ++i) {
        const float x = static_cast<float>(0.11 + 0.024 * i);
        DrawSprite(screen, *segment, x, 0.025f, x + 0.024f, 0.08f, Blend::Alpha);
    }
    DrawSprite(screen, *bossFrame, 0.25f, 0.0f, 1.0f, 0.125f, Blend::Alpha);
    for (int i = 0; i < kBossBarsShown; ++i) {
        const float x = static_cast<float>(0.36 + 0.04133333333333333 * i);
        DrawSprite(screen, *bossSegment, x, 0.025f, x + 0.04133333333333333f, 0.08f, Blend::Alpha);
    }
    return writer.Write("hud.png", screen);
}

// Every HUD picture at its own size on a checkerboard, so that its alpha shows.
bool HudPartsSheet(PreviewWriter& writer)
{
    const char* names[] = {"hud_player.tga", "barra_player.tga", "hud_boss.tga", "barra_boss.tga"};
    Screen screen = Checkerboard(1064, 480);
    const int places[4][2] = {{16, 16}, {560, 16}, {16, 240}, {660, 16}};
    for (int i = 0; i < 4; ++i) {
        const Picture* picture = writer.Get(names[i]);
        if (picture == nullptr) return false;
        const float x0 = static_cast<float>(places[i][0]) / (screen.width - 1);
        const float y0 = static_cast<float>(places[i][1]) / (screen.height - 1);
        DrawSprite(screen, *picture, x0, y0, x0 + static_cast<float>(picture->width) / (screen.width - 1),
                   y0 + static_cast<float>(picture->height) / (screen.height - 1), Blend::Alpha);
    }
    return writer.Write("hud_parts.png", screen);
}

bool TitleSheet(PreviewWriter& writer)
{
    const Picture* banner = writer.Get("banner.tga");
    const Picture* prompt = writer.Get("tetters.jpg");
    if (!banner || !prompt) return false;
    Screen screen = Backdrop(kScreenWidth, kScreenHeight, 1.6f);
    DrawSprite(screen, *banner, 0.0f, 0.0f, 1.0f, 0.5f, Blend::Alpha);
    DrawSprite(screen, *prompt, 0.25f, 0.9f, 0.75f, 0.95f, Blend::Additive);
    return writer.Write("title.png", screen);
}

// The eight frames in a row as the game blends them, then the ring growing and fading as an
// enemy's explosion plays it, and the two shot sizes, all to the same scale.
bool ExplosionSheet(PreviewWriter& writer)
{
    constexpr int kCell = 144;
    Screen screen = Backdrop(8 * kCell, 2 * kCell, 1.0f);
    for (int frame = 0; frame < 8; ++frame) {
        const Picture* picture = writer.Get("exp" + std::to_string(frame) + ".tga");
        if (picture == nullptr) return false;
        const float x0 = static_cast<float>(frame * kCell + 8) / (screen.width - 1);
        const float x1 = static_cast<float>((frame + 1) * kCell - 8) / (screen.width - 1);
        DrawSprite(screen, *picture, x0, 8.0f / (screen.height - 1), x1, (kCell - 8.0f) / (screen.height - 1), Blend::Alpha);
    }
    const Picture* ring = writer.Get("shock.jpg");
    const Picture* shot = writer.Get("tiro.jpg");
    if (!ring || !shot) return false;
    // The frames above stand for an enemy's explosion of size 30: 60 units across the cell.
    const float pixelsPerUnit = (kCell - 16.0f) / 60.0f;
    for (int step = 0; step < 6; ++step) {
        const float elapsed = 0.04f * (step + 1);
        const float half = elapsed * 120.0f * pixelsPerUnit;  // the ring grows 120 units a second
        const float cx = (step + 0.5f) * kCell;
        const float cy = 1.5f * kCell;
        DrawSprite(screen, *ring, (cx - half) / (screen.width - 1), (cy - half) / (screen.height - 1),
                   (cx + half) / (screen.width - 1), (cy + half) / (screen.height - 1), Blend::Additive,
                   1.0f - elapsed * 1.875f);
    }
    for (int i = 0; i < 2; ++i) {
        const float half = (i == 0 ? 5.0f : 2.5f) * pixelsPerUnit;  // the player's and the enemies' shots
        const float cx = (6.5f + i) * kCell;
        const float cy = 1.5f * kCell;
        DrawSprite(screen, *shot, (cx - half) / (screen.width - 1), (cy - half) / (screen.height - 1),
                   (cx + half) / (screen.width - 1), (cy + half) / (screen.height - 1), Blend::Additive);
    }
    return writer.Write("explosion.png", screen);
}

bool CreditsSheet(PreviewWriter& writer)
{
    const Picture* credits = writer.Get("end_credits.tga");
    if (credits == nullptr) return false;
    Screen screen = Backdrop(kScreenWidth, kScreenHeight, 1.6f);
    DrawSprite(screen, *credits, 0.0f, 0.0f, 1.0f, 1.0f, Blend::Alpha);
    return writer.Write("credits.png", screen);
}

// The dialog's logo at twice its size and the icon at its own, on the checkerboard.
bool EmblemSheet(PreviewWriter& writer)
{
    const Picture* logo = writer.Get("logo.bmp");
    const Picture* icon = writer.Get("icon.png");
    if (!logo || !icon) return false;
    Screen screen = Checkerboard(560, 288);
    const float w = static_cast<float>(screen.width - 1);
    const float h = static_cast<float>(screen.height - 1);
    DrawSprite(screen, *logo, 16.0f / w, 16.0f / h, (16.0f + 2 * logo->width) / w, (16.0f + 2 * logo->height) / h, Blend::Alpha);
    DrawSprite(screen, *icon, 288.0f / w, 16.0f / h, (288.0f + icon->width) / w, (16.0f + icon->height) / h, Blend::Alpha);
    return writer.Write("emblem.png", screen);
}

}  // namespace

bool WriteInterfacePreviews(const AssetSet& assets, const std::string& directory, std::string& error)
{
    PreviewWriter writer(assets, directory, error);
    // Every picture first, so that a missing one leaves no half-written set of sheets.
    for (const char* name : kPreviewed) {
        if (writer.Get(name) == nullptr) return false;
    }
    return HudSheet(writer) && HudPartsSheet(writer) && TitleSheet(writer) && ExplosionSheet(writer) &&
           CreditsSheet(writer) && EmblemSheet(writer);
}
