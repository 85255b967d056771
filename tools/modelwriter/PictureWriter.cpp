#include "tools/modelwriter/PictureWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include <jpeglib.h>
#include <png.h>

#include "tools/LittleEndian.h"

namespace {

uint32_t PixelAt(const Picture& picture, uint32_t x, uint32_t y)
{
    uint32_t value;
    std::memcpy(&value, picture.rgba.data() + (static_cast<size_t>(y) * picture.width + x) * 4, 4);
    return value;
}

// The picture's colours in order of first appearance, with each one's index; empty when there
// are more than 256.
std::map<uint32_t, uint8_t> Palette(const Picture& picture, std::vector<uint32_t>& colours)
{
    std::map<uint32_t, uint8_t> index;
    colours.clear();
    for (uint32_t y = 0; y < picture.height; ++y) {
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint32_t colour = PixelAt(picture, x, y);
            if (index.count(colour) != 0) continue;
            if (colours.size() == 256) return {};
            index[colour] = static_cast<uint8_t>(colours.size());
            colours.push_back(colour);
        }
    }
    return index;
}

void PutColour(std::vector<uint8_t>& out, uint32_t rgba, bool alpha)
{
    out.push_back(static_cast<uint8_t>(rgba >> 16));
    out.push_back(static_cast<uint8_t>(rgba >> 8));
    out.push_back(static_cast<uint8_t>(rgba));
    if (alpha) out.push_back(static_cast<uint8_t>(rgba >> 24));
}

std::vector<std::vector<uint8_t>> TgaPixels(const Picture& picture, const PictureWriter::TgaOptions& options,
                                            const std::map<uint32_t, uint8_t>& palette)
{
    std::vector<std::vector<uint8_t>> pixels;
    for (uint32_t row = 0; row < picture.height; ++row) {
        const uint32_t y = options.topDown ? row : picture.height - 1 - row;
        for (uint32_t column = 0; column < picture.width; ++column) {
            const uint32_t x = options.rightToLeft ? picture.width - 1 - column : column;
            const uint32_t colour = PixelAt(picture, x, y);
            std::vector<uint8_t> stored;
            if (options.layout == PictureWriter::TgaLayout::Grey) stored.push_back(static_cast<uint8_t>(colour));
            if (options.layout == PictureWriter::TgaLayout::ColourMapped) stored.push_back(palette.at(colour));
            if (options.layout == PictureWriter::TgaLayout::TrueColour) PutColour(stored, colour, options.alpha);
            pixels.push_back(stored);
        }
    }
    return pixels;
}

void PutRunLength(std::vector<uint8_t>& out, const std::vector<std::vector<uint8_t>>& pixels)
{
    size_t i = 0;
    while (i < pixels.size()) {
        size_t run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i]) ++run;
        if (run > 1) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixels[i].begin(), pixels[i].end());
        } else {
            size_t literal = 1;
            while (i + literal < pixels.size() && literal < 128 &&
                   (i + literal + 1 >= pixels.size() || pixels[i + literal] != pixels[i + literal + 1])) {
                ++literal;
            }
            out.push_back(static_cast<uint8_t>(literal - 1));
            for (size_t k = 0; k < literal; ++k) out.insert(out.end(), pixels[i + k].begin(), pixels[i + k].end());
            run = literal;
        }
        i += run;
    }
}

}  // namespace

std::vector<uint8_t> PictureWriter::Tga(const Picture& picture, const TgaOptions& options)
{
    std::vector<uint32_t> colours;
    std::map<uint32_t, uint8_t> palette;
    const bool mapped = options.layout == TgaLayout::ColourMapped;
    if (mapped) {
        palette = Palette(picture, colours);
        if (palette.empty()) return {};
    }
    const uint8_t baseType = mapped ? 1 : options.layout == TgaLayout::Grey ? 3 : 2;
    std::vector<uint8_t> out;
    out.push_back(0);
    out.push_back(mapped ? 1 : 0);
    out.push_back(static_cast<uint8_t>(baseType | (options.runLength ? 8 : 0)));
    PutU16(out, 0);
    PutU16(out, mapped ? static_cast<uint32_t>(colours.size()) : 0);
    out.push_back(mapped ? (options.alpha ? 32 : 24) : 0);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, picture.width);
    PutU16(out, picture.height);
    out.push_back(options.layout == TgaLayout::TrueColour ? (options.alpha ? 32 : 24) : 8);
    out.push_back(static_cast<uint8_t>((options.topDown ? 0x20 : 0) | (options.rightToLeft ? 0x10 : 0) |
                                       (options.alpha && !mapped ? 8 : 0)));
    for (uint32_t colour : colours) PutColour(out, colour, options.alpha);
    const auto pixels = TgaPixels(picture, options, palette);
    if (options.runLength) {
        PutRunLength(out, pixels);
    } else {
        for (const auto& pixel : pixels) out.insert(out.end(), pixel.begin(), pixel.end());
    }
    return out;
}

std::vector<uint8_t> PictureWriter::Bmp(const Picture& picture, int bits, bool topDown)
{
    std::vector<uint32_t> colours;
    std::map<uint32_t, uint8_t> palette;
    if (bits == 8) {
        palette = Palette(picture, colours);
        if (palette.empty()) return {};
    }
    const uint32_t stride = (picture.width * static_cast<uint32_t>(bits) / 8 + 3) & ~3u;
    const uint32_t paletteBytes = static_cast<uint32_t>(colours.size()) * 4;
    const uint32_t pixelOffset = 14 + 40 + paletteBytes;
    std::vector<uint8_t> out = {'B', 'M'};
    PutU32(out, pixelOffset + stride * picture.height);
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, 40);
    PutU32(out, picture.width);
    PutU32(out, topDown ? static_cast<uint32_t>(-static_cast<int32_t>(picture.height)) : picture.height);
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(bits));
    PutU32(out, 0);
    PutU32(out, stride * picture.height);
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, static_cast<uint32_t>(colours.size()));
    PutU32(out, 0);
    for (uint32_t colour : colours) {
        PutColour(out, colour, false);
        out.push_back(0);
    }
    for (uint32_t row = 0; row < picture.height; ++row) {
        const uint32_t y = topDown ? row : picture.height - 1 - row;
        const size_t start = out.size();
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint32_t colour = PixelAt(picture, x, y);
            if (bits == 8) out.push_back(palette.at(colour));
            else PutColour(out, colour | 0xFF000000u, bits == 32);
        }
        out.resize(start + stride, 0);
    }
    return out;
}

std::vector<uint8_t> PictureWriter::Png(const Picture& picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = picture.width;
    image.height = picture.height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, picture.rgba.data(), 0, nullptr)) return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, picture.rgba.data(), 0, nullptr)) return {};
    out.resize(size);
    return out;
}

std::vector<uint8_t> PictureWriter::Jpeg(const Picture& picture, int quality, bool grey)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = picture.width;
    info.image_height = picture.height;
    const uint32_t components = grey ? 1 : 3;
    info.input_components = static_cast<int>(components);
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * components);
    while (info.next_scanline < info.image_height) {
        const uint8_t* source = picture.rgba.data() + static_cast<size_t>(info.next_scanline) * picture.width * 4;
        for (uint32_t x = 0; x < picture.width; ++x) std::memcpy(&row[x * components], source + x * 4, components);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}
