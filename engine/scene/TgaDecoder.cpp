#include <cstring>

#include "engine/scene/Picture.h"

// TGA pictures: true colour (24 and 32 bit), grey (8 bit) and colour-mapped (8-bit indices into
// a 24- or 32-bit map), each uncompressed or run-length encoded, stored bottom-up or top-down
// and left-to-right or right-to-left.
namespace {

constexpr size_t kHeaderSize = 18;

enum class TgaKind { ColourMapped, TrueColour, Grey };

struct TgaHeader {
    uint8_t idLength;
    uint8_t mapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    uint16_t width;
    uint16_t height;
    uint8_t pixelBits;
    uint8_t descriptor;
};

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

TgaHeader ParseHeader(const uint8_t* p)
{
    return {p[0], p[1], p[2], ReadU16(p + 3), ReadU16(p + 5), p[7], ReadU16(p + 12), ReadU16(p + 14),
            p[16], p[17]};
}

// Reads TGA's blue-green-red(-alpha) order, or a grey byte, into one RGBA pixel.
struct PixelReader {
    TgaKind kind;
    uint32_t bytes;                    // bytes per stored pixel
    const uint8_t* map = nullptr;      // colour map entries, for colour-mapped pictures
    uint32_t mapEntries = 0;
    uint32_t mapEntryBytes = 0;
    uint32_t mapFirst = 0;

    bool Convert(const uint8_t* in, uint8_t* rgba) const
    {
        if (kind == TgaKind::Grey) {
            rgba[0] = rgba[1] = rgba[2] = in[0];
            rgba[3] = 255;
            return true;
        }
        const uint8_t* bgr = in;
        uint32_t entryBytes = bytes;
        if (kind == TgaKind::ColourMapped) {
            if (in[0] < mapFirst || in[0] - mapFirst >= mapEntries) return false;
            bgr = map + (in[0] - mapFirst) * mapEntryBytes;
            entryBytes = mapEntryBytes;
        }
        rgba[0] = bgr[2];
        rgba[1] = bgr[1];
        rgba[2] = bgr[0];
        rgba[3] = entryBytes == 4 ? bgr[3] : 255;
        return true;
    }
};

bool SetUpReader(const TgaHeader& header, const uint8_t* data, size_t size, size_t& offset, PixelReader& reader)
{
    const uint32_t baseType = header.imageType & 7u;
    offset = kHeaderSize + header.idLength;
    const size_t mapBytes = header.mapType == 1 ? static_cast<size_t>(header.mapLength) * ((header.mapEntryBits + 7u) / 8u) : 0;
    if (header.mapType > 1 || offset + mapBytes > size) return false;
    if (baseType == 1) {
        if (header.mapType != 1 || header.pixelBits != 8) return false;
        if (header.mapEntryBits != 24 && header.mapEntryBits != 32) return false;
        reader = {TgaKind::ColourMapped, 1, data + offset, header.mapLength, header.mapEntryBits / 8u, header.mapFirst};
    } else if (baseType == 2) {
        if (header.pixelBits != 24 && header.pixelBits != 32) return false;
        reader = {TgaKind::TrueColour, header.pixelBits / 8u};
    } else if (baseType == 3) {
        if (header.pixelBits != 8) return false;
        reader = {TgaKind::Grey, 1};
    } else {
        return false;
    }
    offset += mapBytes;
    return true;
}

// Fills the pixels in stored order; the caller puts the rows in place afterwards.
bool ReadRaw(const uint8_t* data, size_t size, size_t offset, const PixelReader& reader, Picture& out)
{
    const size_t pixels = static_cast<size_t>(out.width) * out.height;
    if ((size - offset) / reader.bytes < pixels) return false;
    for (size_t i = 0; i < pixels; ++i) {
        if (!reader.Convert(data + offset + i * reader.bytes, out.rgba.data() + i * 4)) return false;
    }
    return true;
}

bool ReadRunLength(const uint8_t* data, size_t size, size_t offset, const PixelReader& reader, Picture& out)
{
    const size_t pixels = static_cast<size_t>(out.width) * out.height;
    size_t done = 0;
    while (done < pixels) {
        if (offset >= size) return false;
        const uint8_t packet = data[offset++];
        const size_t run = (packet & 0x7Fu) + 1u;
        if (run > pixels - done) return false;
        const bool repeated = (packet & 0x80u) != 0;
        const size_t stored = repeated ? reader.bytes : run * reader.bytes;
        if (size - offset < stored) return false;
        for (size_t i = 0; i < run; ++i) {
            const uint8_t* in = data + offset + (repeated ? 0 : i * reader.bytes);
            if (!reader.Convert(in, out.rgba.data() + (done + i) * 4)) return false;
        }
        offset += stored;
        done += run;
    }
    return true;
}

void FlipRows(Picture& picture)
{
    const size_t stride = static_cast<size_t>(picture.width) * 4;
    std::vector<uint8_t> row(stride);
    for (uint32_t top = 0, bottom = picture.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = picture.rgba.data() + top * stride;
        uint8_t* b = picture.rgba.data() + bottom * stride;
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
}

void MirrorColumns(Picture& picture)
{
    uint32_t* pixels = reinterpret_cast<uint32_t*>(picture.rgba.data());
    for (uint32_t y = 0; y < picture.height; ++y) {
        uint32_t* row = pixels + static_cast<size_t>(y) * picture.width;
        for (uint32_t left = 0, right = picture.width - 1; left < right; ++left, --right) {
            const uint32_t swap = row[left];
            row[left] = row[right];
            row[right] = swap;
        }
    }
}

bool DecodeTgaPixels(const uint8_t* data, size_t size, Picture& out)
{
    if (size < kHeaderSize) return false;
    const TgaHeader header = ParseHeader(data);
    PixelReader reader{};
    size_t offset = 0;
    if (!SetUpReader(header, data, size, offset, reader)) return false;
    const bool runLength = (header.imageType & 8u) != 0;
    if (header.imageType > 11 || (header.imageType & ~0xBu) != 0) return false;
    const size_t pixels = static_cast<size_t>(header.width) * header.height;
    // A run-length packet of 1 + pixel bytes covers at most 128 pixels: a file too short for
    // that is refused before the pixel memory is taken.
    const size_t remaining = size - offset;
    if (runLength ? remaining / (1 + reader.bytes) * 128 < pixels : remaining / reader.bytes < pixels) return false;
    if (!AllocatePicture(out, header.width, header.height)) return false;
    const bool read = runLength ? ReadRunLength(data, size, offset, reader, out) : ReadRaw(data, size, offset, reader, out);
    if (!read) return false;
    if ((header.descriptor & 0x20u) == 0) FlipRows(out);
    if ((header.descriptor & 0x10u) != 0) MirrorColumns(out);
    return true;
}

}  // namespace

bool DecodeTga(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    if (data == nullptr) return false;
    if (DecodeTgaPixels(data, size, out)) return true;
    out = Picture{};
    return false;
}
