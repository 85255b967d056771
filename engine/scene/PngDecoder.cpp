#include <cstring>

#include <png.h>

#include "engine/scene/Picture.h"

// libpng's simplified reader converts every colour type and bit depth to 8-bit RGBA itself and
// reports failures through its result, so no error jump is needed here.
bool DecodePng(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    if (data == nullptr || size == 0) return false;
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
