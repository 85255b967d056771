#include "engine/scene/Picture.h"

// Uncompressed Windows bitmaps: 24 and 32 bit (the fourth byte is unused, so pixels are opaque)
// and 8-bit palette pictures, stored bottom-up (positive height) or top-down (negative height).
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kMinInfoSize = 40;
constexpr uint32_t kUncompressed = 0;

uint32_t ReadU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct BmpLayout {
    uint32_t pixelOffset;
    uint32_t infoSize;
    int32_t width;
    int32_t height;
    uint16_t bits;
    uint32_t compression;
    uint32_t paletteEntries;
};

bool ReadLayout(const uint8_t* data, size_t size, BmpLayout& layout)
{
    if (size < kFileHeaderSize + kMinInfoSize) return false;
    const uint8_t* info = data + kFileHeaderSize;
    layout = {ReadU32(data + 10), ReadU32(info), static_cast<int32_t>(ReadU32(info + 4)),
              static_cast<int32_t>(ReadU32(info + 8)), ReadU16(info + 14), ReadU32(info + 16), ReadU32(info + 32)};
    if (layout.infoSize < kMinInfoSize || layout.compression != kUncompressed) return false;
    if (layout.bits != 8 && layout.bits != 24 && layout.bits != 32) return false;
    if (layout.bits == 8 && (layout.paletteEntries == 0 || layout.paletteEntries > 256)) layout.paletteEntries = 256;
    return layout.width > 0 && layout.height != 0 && layout.height != INT32_MIN;
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    BmpLayout layout{};
    if (data == nullptr || !ReadLayout(data, size, layout)) return false;
    const uint32_t width = static_cast<uint32_t>(layout.width);
    const bool topDown = layout.height < 0;
    const uint32_t height = topDown ? static_cast<uint32_t>(-layout.height) : static_cast<uint32_t>(layout.height);
    if (width > kMaxPictureSide || height > kMaxPictureSide) return false;
    const size_t stride = (static_cast<size_t>(width) * layout.bits / 8 + 3) & ~static_cast<size_t>(3);
    const size_t paletteOffset = kFileHeaderSize + layout.infoSize;
    const size_t paletteBytes = layout.bits == 8 ? layout.paletteEntries * 4u : 0;
    if (paletteOffset + paletteBytes > size || layout.pixelOffset > size) return false;
    if ((size - layout.pixelOffset) / stride < height) return false;
    if (!AllocatePicture(out, width, height)) return false;
    const uint8_t* palette = data + paletteOffset;
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* in = data + layout.pixelOffset + row * stride;
        const uint32_t y = topDown ? row : height - 1 - row;
        uint8_t* target = out.rgba.data() + static_cast<size_t>(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x, target += 4) {
            const uint8_t* bgr = in + x * (layout.bits / 8u);
            if (layout.bits == 8) {
                if (*bgr >= layout.paletteEntries) {
                    out = Picture{};
                    return false;
                }
                bgr = palette + *bgr * 4u;
            }
            target[0] = bgr[2];
            target[1] = bgr[1];
            target[2] = bgr[0];
            target[3] = 255;
        }
    }
    return true;
}
