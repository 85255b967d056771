#include <cstring>

#include <png.h>

#include "engine/scene/Picture.h"

// libpng's simplified reader converts every colour type and bit depth to 8-bit RGBA itself and
// reports failures through its result, so no error jump is needed here.
namespace {

constexpr size_t kEndChunkSize = 12;  // length 0, "IEND", checksum

// The reader stops once it has the pixels, so a file cut inside its end chunk would pass
// unnoticed; a whole file ends with that chunk.
bool EndsWithEndChunk(const uint8_t* data, size_t size)
{
    static const uint8_t kEndChunk[kEndChunkSize] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    return size >= 8 + kEndChunkSize && std::memcmp(data + size - kEndChunkSize, kEndChunk, kEndChunkSize) == 0;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    if (data == nullptr || !EndsWithEndChunk(data, size)) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    if (!AllocatePicture(out, image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    const bool ok = png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    if (!ok || PNG_IMAGE_FAILED(image)) {
        out = Picture{};
        return false;
    }
    return true;
}
