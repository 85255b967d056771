// libFuzzer target: the picture decoders (JPEG, PNG, BMP, TGA) on arbitrary bytes.
#include <cstdint>
#include <cstddef>

#include "engine/scene/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Picture picture;
    if (DecodePicture(data, size, picture)) {
        if (picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) __builtin_trap();
    } else if (!picture.rgba.empty()) {
        __builtin_trap();
    }
    return 0;
}
