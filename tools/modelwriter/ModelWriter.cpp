#include "tools/modelwriter/ModelWriter.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kMagic = 0x46443346;  // "F3DF"
constexpr int32_t kVersion = 110;
constexpr size_t kNameSize = 256;

class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out_(out) {}

    void Bytes(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    void Int(int32_t value) { Bytes(&value, sizeof value); }
    void Uint(uint32_t value) { Bytes(&value, sizeof value); }
    void Real(float value) { Bytes(&value, sizeof value); }
    void Flag(bool value) { out_.push_back(value ? 1 : 0); }
    void Zeros(size_t count) { out_.insert(out_.end(), count, 0); }
    void Vector(const Float3& v)
    {
        Real(v.x);
        Real(v.y);
        Real(v.z);
    }
    void Name(const std::string& name)
    {
        const size_t kept = name.size() < kNameSize ? name.size() : kNameSize - 1;
        Bytes(name.data(), kept);
        Zeros(kNameSize - kept);
    }
    template <typename T>
    void Keys(const std::vector<T>& keys, int32_t frames)
    {
        for (int32_t f = 0; f < frames; ++f) Key(static_cast<size_t>(f) < keys.size() ? keys[static_cast<size_t>(f)] : T{});
    }
    void Key(const Float3& v) { Vector(v); }
    void Key(float v) { Real(v); }
    void Key(const ObjectKey& key)
    {
        Vector(key.position);
        Vector(key.axis);
        Real(key.angle);
        Vector(key.third);
    }

private:
    std::vector<uint8_t>& out_;
};

void WriteHeader(ByteSink& sink, const ModelFile& model)
{
    sink.Uint(kMagic);
    sink.Int(kVersion);
    sink.Vector(model.sceneFirst);
    sink.Vector(model.sceneSecond);
    sink.Zeros(256);
    sink.Int(model.frameCount);
    sink.Flag(model.animated);
    sink.Zeros(1);
}

void WriteMaterial(ByteSink& sink, const ModelFileMaterial& material)
{
    sink.Vector(material.ambient);
    sink.Vector(material.diffuse);
    sink.Name(material.bumpMap);
    sink.Name(material.texture);
    sink.Flag(material.alphaMask);
    sink.Flag(material.glow);
    sink.Zeros(2);
}

void WriteObject(ByteSink& sink, const ModelFileObject& object, int32_t frames)
{
    sink.Int(object.material);
    sink.Int(static_cast<int32_t>(object.vertices.size()));
    sink.Int(static_cast<int32_t>(object.indices.size()));
    sink.Bytes(object.vertices.data(), object.vertices.size() * sizeof(MeshVertex));
    sink.Bytes(object.indices.data(), object.indices.size() * sizeof(uint32_t));
    sink.Key(object.placement);
    sink.Flag(object.animated);
    if (object.animated) sink.Keys(object.keys, frames);
}

void WriteLight(ByteSink& sink, const ModelFileLight& light, int32_t frames)
{
    sink.Vector(light.colour);
    sink.Vector(light.position);
    sink.Real(light.radius);
    sink.Flag(light.animated);
    if (!light.animated) return;
    sink.Keys(light.colourKeys, frames);
    sink.Keys(light.positionKeys, frames);
    sink.Keys(light.radiusKeys, frames);
}

void WriteCamera(ByteSink& sink, const ModelFileCamera& camera, int32_t frames)
{
    sink.Vector(camera.staticFirst);
    sink.Vector(camera.staticSecond);
    sink.Real(camera.staticValue);
    sink.Name(camera.name);
    sink.Flag(camera.animated);
    if (!camera.animated) return;
    sink.Keys(camera.eyeKeys, frames);
    sink.Keys(camera.targetKeys, frames);
    sink.Keys(camera.fieldOfViewKeys, frames);
}

}  // namespace

std::vector<uint8_t> ModelWriter::Write(const ModelFile& model)
{
    std::vector<uint8_t> out;
    ByteSink sink(out);
    const int32_t frames = model.frameCount > 0 ? model.frameCount : 0;
    WriteHeader(sink, model);
    if (model.animated) {
        sink.Keys(model.modelTrackFirst, frames);
        sink.Keys(model.modelTrackSecond, frames);
    }
    sink.Int(static_cast<int32_t>(model.materials.size()));
    for (const ModelFileMaterial& material : model.materials) WriteMaterial(sink, material);
    sink.Int(static_cast<int32_t>(model.objects.size()));
    for (const ModelFileObject& object : model.objects) WriteObject(sink, object, frames);
    sink.Int(static_cast<int32_t>(model.lights.size()));
    for (const ModelFileLight& light : model.lights) WriteLight(sink, light, frames);
    sink.Int(static_cast<int32_t>(model.cameras.size()));
    for (const ModelFileCamera& camera : model.cameras) WriteCamera(sink, camera, frames);
    return out;
}

bool ModelWriter::WriteFile(const ModelFile& model, const char* path)
{
    const std::vector<uint8_t> bytes = Write(model);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
