#include <cmath>
#include <cstdio>
#include <string>

#include "engine/device/NullDevice.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/Texture.h"
#include "engine/scene/TextureCache.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/Json.h"

// harntool 3df FILE: the model as SceneModel::Load sees it, as one JSON object.
namespace {

std::string Triple(float x, float y, float z)
{
    return "[" + JsonNumber(x) + ", " + JsonNumber(y) + ", " + JsonNumber(z) + "]";
}

std::string Triple(const Vec4& v) { return Triple(v.x, v.y, v.z); }

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string TextureName(const Texture* texture) { return JsonStringLatin1(texture != nullptr ? texture->Name() : ""); }

std::string DescribeMaterial(const Material& material)
{
    return "{\"ambient\": " + Triple(material.ambient) + ", \"diffuse\": " + Triple(material.diffuse) +
           ", \"bump\": " + TextureName(material.bumpMap) + ", \"texture\": " + TextureName(material.texture) +
           ", \"alphaMask\": " + Bool(material.alphaMask) + ", \"glow\": " + Bool(material.glow) + "}";
}

std::string DescribeObject(const SceneModel& model, const SceneObject& object)
{
    const Matrix& local = object.local;
    return "{\"material\": " + std::to_string(model.MaterialIndex(object)) +
           ", \"vertices\": " + std::to_string(object.Mesh().vertices.size()) +
           ", \"faces\": " + std::to_string(object.Mesh().FaceCount()) + ", \"animated\": " + Bool(object.animated) +
           ", \"boxMin\": " + Triple(object.BoxMin()) + ", \"boxMax\": " + Triple(object.BoxMax()) +
           ", \"position\": " + Triple(local(3, 0), local(3, 1), local(3, 2)) + "}";
}

std::string DescribeLight(const SceneLight& light)
{
    return "{\"colour\": " + Triple(light.fileColour) + ", \"position\": " + Triple(light.filePosition) +
           ", \"radius\": " + JsonNumber(light.fileRadius) + ", \"animated\": " + Bool(light.animated) + "}";
}

std::string DescribeCamera(const SceneCamera& camera)
{
    return "{\"name\": " + JsonStringLatin1(camera.name) + ", \"animated\": " + Bool(camera.animated) + "}";
}

template <typename T, typename Describe>
std::string List(const GrowArray<T>& items, Describe describe)
{
    std::string out = "[";
    for (uint32_t i = 0; i < items.Count(); ++i) out += (i > 0 ? ", " : "") + describe(items.At(i));
    return out + "]";
}

std::string DescribeModel(const SceneModel& model)
{
    return "{\"ok\": true, \"frames\": " + std::to_string(model.FrameCount()) + ", \"animated\": " + Bool(model.Animated()) +
           ",\n \"materials\": " + List(model.Materials(), DescribeMaterial) +
           ",\n \"objects\": " + List(model.Objects(), [&](const SceneObject& o) { return DescribeObject(model, o); }) +
           ",\n \"lights\": " + List(model.Lights(), DescribeLight) +
           ",\n \"cameras\": " + List(model.Cameras(), DescribeCamera) + "}\n";
}

}  // namespace

int RunThreeDfCommand(int argc, char** argv)
{
    if (argc != 1) {
        std::fprintf(stderr, "usage: harntool 3df FILE\n");
        return 2;
    }
    NullDevice device;
    ScopedCurrentDevice current(&device);
    bool loaded = false;
    {
        SceneModel model;
        loaded = model.Load(argv[0]);
        const std::string out = loaded ? DescribeModel(model) : "{\"ok\": false}\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    // The textures were made on this device; they go before it does.
    TextureCache::Clear();
    ModelCache::Clear();
    return loaded ? 0 : 1;
}
