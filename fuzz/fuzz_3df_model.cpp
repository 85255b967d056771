// libFuzzer target: SceneModel::Load on arbitrary bytes, on the null device.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/device/NullDevice.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"

namespace {

// The loader reads through ResourceFile, which reads files: each input goes to one scratch file.
const std::string& ScratchPath()
{
    static const std::string path = "/tmp/fuzz_3df_model_" + std::to_string(getpid()) + ".3df";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NullDevice device;
    GraphicsDevice::SetCurrent(&device);
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    {
        SceneModel model;
        if (model.Load(ScratchPath().c_str())) {
            for (const SceneObject& object : model.Objects()) {
                if (object.HasMesh() && !object.Mesh().IndicesValid()) __builtin_trap();
            }
        }
    }
    // Material names from the input would otherwise pile up in the cache.
    TextureCache::Clear();
    return 0;
}
