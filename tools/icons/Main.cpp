#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/scene/Picture.h"
#include "engine/unrarlib/RarExtract.h"
#include "tools/modelwriter/PictureWriter.h"

// zelmar_icons: the desktop icons of the game at the sizes desktops look for, made from the
// generated "icon.png" in the game's archive by averaging every source pixel that falls under an
// icon pixel. Until the archive holds the icon, a plain emblem painted here stands in, so that
// the install and the package are whole.
namespace {

constexpr const char* kIconEntry = "icon.png";
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr uint32_t kStandInSide = 256;

bool IconFromArchive(const char* archive, Picture* icon)
{
    char* data = nullptr;
    unsigned long size = 0;
    if (RarExtract(&data, &size, kIconEntry, archive, nullptr) == 0) return false;
    const bool decoded = DecodePicture(reinterpret_cast<const uint8_t*>(data), size, *icon);
    std::free(data);
    return decoded && icon->width > 0 && icon->height > 0;
}

// A ring around an arrowhead, the ship seen from above, on transparency.
Picture StandInIcon()
{
    Picture icon;
    AllocatePicture(icon, kStandInSide, kStandInSide);
    const float centre = kStandInSide / 2.0f;
    for (uint32_t y = 0; y < kStandInSide; ++y) {
        for (uint32_t x = 0; x < kStandInSide; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre, dy = static_cast<float>(y) + 0.5f - centre;
            const float radius = std::sqrt(dx * dx + dy * dy);
            const bool disc = radius < 120.0f;
            const bool ring = radius > 104.0f && radius < 120.0f;
            const bool ship = dy > -80.0f && dy < 70.0f && std::fabs(dx) < (dy + 80.0f) * 0.42f && !(dy > 40.0f && std::fabs(dx) < 14.0f);
            uint8_t* pixel = &icon.rgba[(static_cast<size_t>(y) * kStandInSide + x) * 4];
            const uint8_t colour[4] = {static_cast<uint8_t>(ring ? 230 : ship ? 240 : 24), static_cast<uint8_t>(ring ? 160 : ship ? 240 : 32),
                                       static_cast<uint8_t>(ring ? 48 : ship ? 255 : 64), static_cast<uint8_t>(disc ? 255 : 0)};
            std::copy(colour, colour + 4, pixel);
        }
    }
    return icon;
}

// Area averaging, with colours weighted by their alpha so that transparent pixels lend no colour.
Picture Scaled(const Picture& source, int side)
{
    Picture icon;
    AllocatePicture(icon, static_cast<uint32_t>(side), static_cast<uint32_t>(side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t x0 = source.width * x / side, x1 = std::max(x0 + 1, source.width * (x + 1) / side);
            const uint32_t y0 = source.height * y / side, y1 = std::max(y0 + 1, source.height * (y + 1) / side);
            double sum[4] = {};
            for (uint32_t sy = y0; sy < y1; ++sy) {
                for (uint32_t sx = x0; sx < x1; ++sx) {
                    const uint8_t* p = &source.rgba[(static_cast<size_t>(sy) * source.width + sx) * 4];
                    for (int c = 0; c < 3; ++c) sum[c] += p[c] * p[3];
                    sum[3] += p[3];
                }
            }
            const double count = static_cast<double>((x1 - x0) * (y1 - y0));
            uint8_t* out = &icon.rgba[(static_cast<size_t>(y) * side + x) * 4];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(sum[3] > 0 ? std::lround(sum[c] / sum[3]) : 0);
            out[3] = static_cast<uint8_t>(std::lround(sum[3] / count));
        }
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zelmar_icons ARCHIVE FOLDER\n"
                             "  writes FOLDER/hicolor/NxN/apps/zelmar.png for the desktop's icon sizes\n");
        return 2;
    }
    Picture source;
    if (!IconFromArchive(argv[1], &source)) {
        std::printf("zelmar_icons: no %s in %s; a stand-in emblem is used\n", kIconEntry, argv[1]);
        source = StandInIcon();
    }
    for (int side : kSizes) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const std::filesystem::path folder = std::filesystem::path(argv[2]) / "hicolor" / size / "apps";
        std::filesystem::create_directories(folder);
        const std::vector<uint8_t> png = PictureWriter::Png(Scaled(source, side));
        std::ofstream out(folder / "zelmar.png", std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) {
            std::fprintf(stderr, "zelmar_icons: cannot write %s\n", (folder / "zelmar.png").c_str());
            return 1;
        }
    }
    return 0;
}
