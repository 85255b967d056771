#include "engine/scene/Picture.h"

#include <cstring>

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* magic, size_t length)
{
    return size >= length && std::memcmp(data, magic, length) == 0;
}

}  // namespace

bool AllocatePicture(Picture& picture, uint32_t width, uint32_t height)
{
    picture = Picture{};
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    return true;
}

bool DecodePicture(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    if (data == nullptr || size == 0) return false;
    if (StartsWith(data, size, "\xFF\xD8", 2)) return DecodeJpeg(data, size, out);
    if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) return DecodePng(data, size, out);
    if (StartsWith(data, size, "BM", 2)) return DecodeBmp(data, size, out);
    return DecodeTga(data, size, out);
}
