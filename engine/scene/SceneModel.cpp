#include "engine/scene/SceneModel.h"

#include <cstring>
#include <vector>

#include "engine/platform/Log.h"
#include "engine/platform/ResourceReader.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneSink.h"
#include "engine/scene/TextureCache.h"

namespace {

constexpr uint32_t kHeaderReadSize = 296;  // two bytes past the header, read again after the seek
constexpr uint32_t kMaterialSize = 540;
constexpr uint32_t kNameSize = 256;
constexpr uint32_t kPlacementFloats = 10;
// The smallest block of each kind, to refuse a count that the rest of the file cannot hold
// before anything is allocated for it.
constexpr uint32_t kMinObjectSize = 4 + 4 + 4 + kPlacementFloats * 4 + 1;
constexpr uint32_t kMinLightSize = 12 + 12 + 4 + 1;
constexpr uint32_t kMinCameraSize = 12 + 12 + 4 + kNameSize + 1;
constexpr uint32_t kObjectKeySize = kPlacementFloats * 4;
constexpr uint32_t kLightKeysSize = 12 + 12 + 4;   // colour, position and radius of one frame
constexpr uint32_t kCameraKeysSize = 12 + 12 + 4;  // eye, target and field of view of one frame
constexpr const char* kNeutralBumpMap = "bump_neutral.jpg";

int32_t ReadInt(ResourceReader& reader)
{
    int32_t value = 0;
    reader.Read(&value, sizeof value);
    return value;
}

float ReadFloat(ResourceReader& reader)
{
    float value = 0.0f;
    reader.Read(&value, sizeof value);
    return value;
}

bool ReadFlag(ResourceReader& reader)
{
    uint8_t value = 0;
    reader.Read(&value, sizeof value);
    return value != 0;
}

Vec4 ReadVector(ResourceReader& reader)
{
    float xyz[3] = {};
    reader.Read(xyz, sizeof xyz);
    return {xyz[0], xyz[1], xyz[2], 1.0f};
}

Vec4 VectorAt(const uint8_t* bytes)
{
    float xyz[3];
    std::memcpy(xyz, bytes, sizeof xyz);
    return {xyz[0], xyz[1], xyz[2], 1.0f};
}

// True when count records of the given size fit in what is left of the file (a count of 0 or
// below reads nothing and always fits).
bool Fits(const ResourceReader& reader, int32_t count, uint32_t recordSize)
{
    return count <= 0 || static_cast<uint64_t>(count) * recordSize <= reader.Remaining();
}

void PrepareTrack(Track& track, int32_t frames)
{
    track.Resize(frames);
    track.SetRate(SceneModel::kKeysPerSecond);
}

void PrepareTrack(VectorTrack& track, int32_t frames)
{
    track.Resize(frames);
    track.SetRate(SceneModel::kKeysPerSecond);
}

void ReadVectorKeys(ResourceReader& reader, VectorTrack& track, int32_t frames)
{
    for (int32_t f = 0; f < frames; ++f) track.SetKey(f, ReadVector(reader));
}

void ReadFloatKeys(ResourceReader& reader, Track& track, int32_t frames)
{
    for (int32_t f = 0; f < frames; ++f) track.SetKey(f, ReadFloat(reader));
}

std::string NameField(const uint8_t* bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), kNameSize - 1));
}

// The point is rotated about the origin first and then moved; a zero axis means no rotation.
Matrix Placement(const Vec4& position, const Vec4& axis, float angle)
{
    Matrix placement;
    placement.Translate({position.x, position.y, position.z, 1.0f});
    if (axis.x != 0.0f || axis.y != 0.0f || axis.z != 0.0f) placement.Rotate(angle, axis);
    return placement;
}

}  // namespace

struct SceneModel::Reading {
    GrowArray<SceneLight> lights;
    GrowArray<SceneCamera> cameras;
};

bool SceneModel::Load(const char* name)
{
    Log::Section(1, "Loading a 3DF file");
    Log::Print(1, "File name: %s", name);
    modelTrackFirst_.Resize(0);
    modelTrackSecond_.Resize(0);
    objects_.Clear();
    materials_.Clear();
    ResourceReader reader;
    reader.Open(name);
    if (!reader.Loaded()) {
        Log::Print(1, "Cannot open file");
        return false;
    }
    const Vec4 keptFirst = sceneFirst_, keptSecond = sceneSecond_;
    const int32_t keptFrames = frameCount_;
    const bool keptAnimated = animated_;
    if (!ReadHeader(reader)) {
        Log::Print(1, "Cannot recognize file. Please, resave it");
        return false;
    }
    // Lights and cameras are read aside and appended only once the whole file has been read,
    // so that a broken file adds none of them.
    Reading reading;
    if (!ReadBody(reader, reading)) {
        Log::Print(1, "The file ends before its last record or holds more than it can. Please, resave it");
        objects_.Clear();
        materials_.Clear();
        modelTrackFirst_.Resize(0);
        modelTrackSecond_.Resize(0);
        sceneFirst_ = keptFirst;
        sceneSecond_ = keptSecond;
        frameCount_ = keptFrames;
        animated_ = keptAnimated;
        return false;
    }
    for (const SceneLight& light : reading.lights) lights_.Append(light);
    for (const SceneCamera& camera : reading.cameras) cameras_.Append(camera);
    return true;
}

bool SceneModel::ReadHeader(ResourceReader& reader)
{
    uint8_t header[kHeaderReadSize];
    reader.Read(header, sizeof header);
    if (reader.Failed()) return false;
    uint32_t magic = 0;
    int32_t version = 0;
    std::memcpy(&magic, header, 4);
    std::memcpy(&version, header + 4, 4);
    if (magic != kMagic || version != kVersion) return false;
    sceneFirst_ = VectorAt(header + 8);
    sceneSecond_ = VectorAt(header + 20);
    std::memcpy(&frameCount_, header + 288, 4);
    animated_ = header[292] != 0;
    reader.Seek(kHeaderSize);
    return true;
}

bool SceneModel::ReadBody(ResourceReader& reader, Reading& reading)
{
    if (animated_) {
        if (!Fits(reader, frameCount_, 2 * 12)) return false;
        PrepareTrack(modelTrackFirst_, frameCount_);
        ReadVectorKeys(reader, modelTrackFirst_, frameCount_);
        PrepareTrack(modelTrackSecond_, frameCount_);
        ReadVectorKeys(reader, modelTrackSecond_, frameCount_);
    }
    return ReadMaterials(reader) && ReadObjects(reader) && ReadLights(reader, reading.lights) &&
           ReadCameras(reader, reading.cameras) && !reader.Failed();
}

bool SceneModel::ReadMaterials(ResourceReader& reader)
{
    const int32_t count = ReadInt(reader);
    if (reader.Failed() || !Fits(reader, count, kMaterialSize)) return false;
    for (int32_t i = 0; i < count; ++i) {
        uint8_t record[kMaterialSize];
        reader.Read(record, sizeof record);
        Material material;
        material.ambient = VectorAt(record);
        material.diffuse = VectorAt(record + 12);
        const std::string bump = NameField(record + 24);
        const std::string colour = NameField(record + 280);
        material.bumpMap = TextureCache::Get(bump.empty() ? kNeutralBumpMap : bump.c_str());
        material.texture = colour.empty() ? nullptr : TextureCache::Get(colour.c_str());
        material.alphaMask = record[536] != 0;
        material.glow = record[537] != 0;
        materials_.Append(material);
    }
    return !reader.Failed();
}

bool SceneModel::ReadObjects(ResourceReader& reader)
{
    const int32_t count = ReadInt(reader);
    if (reader.Failed() || !Fits(reader, count, kMinObjectSize)) return false;
    std::vector<int32_t> materialIndices;
    for (int32_t i = 0; i < count; ++i) {
        SceneObject& object = objects_.Append(SceneObject());
        int32_t materialIndex = -1;
        if (!ReadObject(reader, object, materialIndex)) return false;
        materialIndices.push_back(materialIndex);
    }
    // Linked only now: materials keep pointers to their objects, and the object list may move
    // its elements while it grows.
    for (uint32_t i = 0; i < objects_.Count(); ++i) LinkMaterial(objects_.At(i), materialIndices[i]);
    return true;
}

bool SceneModel::ReadObject(ResourceReader& reader, SceneObject& object, int32_t& materialIndex)
{
    materialIndex = ReadInt(reader);
    object.LoadMesh(reader);
    if (reader.Failed()) return false;
    const Vec4 position = ReadVector(reader);
    const Vec4 axis = ReadVector(reader);
    const float angle = ReadFloat(reader);
    ReadVector(reader);  // the third vector is not used
    object.local = Placement(position, axis, angle);
    object.animated = ReadFlag(reader);
    if (!object.animated) return !reader.Failed();
    if (!Fits(reader, frameCount_, kObjectKeySize)) return false;
    PrepareTrack(object.positionTrack, frameCount_);
    PrepareTrack(object.axisTrack, frameCount_);
    PrepareTrack(object.angleTrack, frameCount_);
    PrepareTrack(object.thirdTrack, frameCount_);
    for (int32_t f = 0; f < frameCount_; ++f) {
        object.positionTrack.SetKey(f, ReadVector(reader));
        object.axisTrack.SetKey(f, ReadVector(reader));
        object.angleTrack.SetKey(f, ReadFloat(reader));
        object.thirdTrack.SetKey(f, ReadVector(reader));
    }
    return !reader.Failed();
}

void SceneModel::LinkMaterial(SceneObject& object, int32_t index)
{
    if (index == -1) return;
    if (index < -1 || static_cast<uint32_t>(index) >= materials_.Count()) {
        Log::Print(1, "An object names material %d of %u; it is drawn with none", index, materials_.Count());
        return;
    }
    object.SetOwner(&materials_.At(static_cast<uint32_t>(index)));
}

bool SceneModel::ReadLights(ResourceReader& reader, GrowArray<SceneLight>& lights)
{
    const int32_t count = ReadInt(reader);
    if (reader.Failed() || !Fits(reader, count, kMinLightSize)) return false;
    for (int32_t i = 0; i < count; ++i) {
        SceneLight& light = lights.Append(SceneLight());
        light.fileColour = ReadVector(reader);
        light.filePosition = ReadVector(reader);
        light.fileRadius = ReadFloat(reader);
        light.animated = ReadFlag(reader);
        if (!light.animated) continue;
        if (!Fits(reader, frameCount_, kLightKeysSize)) return false;
        PrepareTrack(light.positionTrack, frameCount_);
        PrepareTrack(light.colourTrack, frameCount_);
        PrepareTrack(light.radiusTrack, frameCount_);
        ReadVectorKeys(reader, light.colourTrack, frameCount_);
        ReadVectorKeys(reader, light.positionTrack, frameCount_);
        ReadFloatKeys(reader, light.radiusTrack, frameCount_);
    }
    return !reader.Failed();
}

bool SceneModel::ReadCameras(ResourceReader& reader, GrowArray<SceneCamera>& cameras)
{
    const int32_t count = ReadInt(reader);
    if (reader.Failed() || !Fits(reader, count, kMinCameraSize)) return false;
    for (int32_t i = 0; i < count; ++i) {
        SceneCamera& camera = cameras.Append(SceneCamera());
        camera.staticFirst = ReadVector(reader);
        camera.staticSecond = ReadVector(reader);
        camera.staticValue = ReadFloat(reader);
        reader.Read(camera.name, kNameSize);
        camera.name[kNameSize - 1] = '\0';
        camera.animated = ReadFlag(reader);
        if (!camera.animated) continue;
        if (!Fits(reader, frameCount_, kCameraKeysSize)) return false;
        PrepareTrack(camera.eyeTrack, frameCount_);
        PrepareTrack(camera.targetTrack, frameCount_);
        PrepareTrack(camera.fieldOfViewTrack, frameCount_);
        ReadVectorKeys(reader, camera.eyeTrack, frameCount_);
        ReadVectorKeys(reader, camera.targetTrack, frameCount_);
        ReadFloatKeys(reader, camera.fieldOfViewTrack, frameCount_);
    }
    return !reader.Failed();
}

void SceneModel::Clear()
{
    frameCount_ = 0;
    animated_ = false;
    modelTrackFirst_.Resize(0);
    modelTrackSecond_.Resize(0);
    objects_.Clear();
    materials_.Clear();
    lights_.Clear();
    cameras_.Clear();
}

int32_t SceneModel::MaterialIndex(const SceneObject& object) const
{
    for (uint32_t i = 0; i < materials_.Count(); ++i) {
        if (&materials_.At(i) == object.Owner()) return static_cast<int32_t>(i);
    }
    return -1;
}

void SceneModel::PlaceObjects(SceneSink& sink, const Matrix& parent)
{
    for (SceneObject& object : objects_) sink.AddObject(object, object.local * parent);
}

void SceneModel::AnimateObjects(SceneSink& sink, const Matrix& parent, float seconds)
{
    for (SceneObject& object : objects_) {
        if (!object.animated) {
            sink.AddObject(object, object.local * parent);
            continue;
        }
        object.positionTrack.Advance(seconds);
        object.axisTrack.Advance(seconds);
        object.angleTrack.Advance(seconds);
        const Vec4 position = object.positionTrack.Evaluate(Track::kLinear);
        const Vec4 axis = object.axisTrack.Evaluate(Track::kLinear);
        const float angle = object.angleTrack.Evaluate(Track::kLinear);
        sink.AddObject(object, Placement(position, axis, angle) * parent);
    }
}

void SceneModel::RewindObjects()
{
    for (SceneObject& object : objects_) {
        object.positionTrack.Rewind();
        object.axisTrack.Rewind();
        object.angleTrack.Rewind();
    }
}

void SceneModel::PlaceLights(SceneSink& sink, const Matrix& parent)
{
    for (SceneLight& light : lights_) {
        light.light.position = parent.Transform(light.filePosition);
        light.light.colour = {light.fileColour.x, light.fileColour.y, light.fileColour.z, 1.0f};
        light.light.radius = light.fileRadius;
        sink.AddLight(&light.light);
    }
}

void SceneModel::AnimateLights(SceneSink& sink, const Matrix& parent, float seconds)
{
    for (SceneLight& light : lights_) {
        if (!light.animated) {
            light.light.position = parent.Transform(light.filePosition);
            light.light.colour = {light.fileColour.x, light.fileColour.y, light.fileColour.z, 1.0f};
            light.light.radius = light.fileRadius;
        } else {
            light.positionTrack.Advance(seconds);
            light.colourTrack.Advance(seconds);
            light.radiusTrack.Advance(seconds);
            light.light.position = parent.Transform(light.positionTrack.Evaluate(Track::kLinear));
            light.light.colour = light.colourTrack.Evaluate(Track::kLinear);
            light.light.radius = light.radiusTrack.Evaluate(Track::kLinear);
        }
        sink.AddLight(&light.light);
    }
}

void SceneModel::SelectCamera(SceneSink& sink, const Matrix& parent, const char* name, float seconds)
{
    if (cameras_.Count() == 0) return;
    SceneCamera* chosen = &cameras_.At(0);
    for (SceneCamera& camera : cameras_) {
        if (camera.IsNamed(name)) {
            chosen = &camera;
            break;
        }
    }
    // A camera without keys has no eye to aim from; the view stays as it was.
    if (chosen->eyeTrack.KeyCount() == 0) return;
    chosen->eyeTrack.Advance(seconds);
    chosen->targetTrack.Advance(seconds);
    chosen->fieldOfViewTrack.Advance(seconds);
    const Vec4 eye = parent.Transform(chosen->eyeTrack.Evaluate(Track::kLinear));
    const Vec4 target = parent.Transform(chosen->targetTrack.Evaluate(Track::kLinear));
    const float fieldOfView = chosen->fieldOfViewTrack.Evaluate(Track::kLinear);
    Camera& camera = sink.GetCamera();
    camera.SetProjection(fieldOfView, sink.DisplayAspect());
    camera.SetLook(eye, target, {0.0f, 1.0f, 0.0f, 1.0f});
}
