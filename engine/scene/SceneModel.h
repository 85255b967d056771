#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"
#include "engine/scene/GrowArray.h"
#include "engine/scene/Material.h"
#include "engine/scene/SceneCamera.h"
#include "engine/scene/SceneLight.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/VectorTrack.h"

class ResourceReader;
class SceneSink;

// The contents of one 3DF file: materials, mesh objects with their placement and animation,
// point lights and named cameras, plus the scene values of the header.
class SceneModel {
public:
    static constexpr uint32_t kMagic = 0x46443346;  // "F3DF"
    static constexpr int32_t kVersion = 110;
    static constexpr int32_t kKeysPerSecond = 10;
    static constexpr uint32_t kHeaderSize = 294;

    SceneModel() = default;
    SceneModel(const SceneModel&) = delete;
    SceneModel& operator=(const SceneModel&) = delete;
    ~SceneModel() = default;

    // Reads the named file. Empties the model tracks, objects and materials first; lights and
    // cameras are appended behind any already there. False for a file that is missing, not a
    // 3DF file of this version, shorter than its records or holding counts its bytes cannot
    // hold; the objects and materials are then empty and nothing else has changed.
    bool Load(const char* name);
    void Clear();

    // Every object to the sink at its loaded placement under the parent matrix.
    void PlaceObjects(SceneSink& sink, const Matrix& parent);
    // Animated objects advance their tracks and stand where they say; the others are placed.
    void AnimateObjects(SceneSink& sink, const Matrix& parent, float seconds);
    // Puts every object's animation back at its first key. A model shared through the cache has
    // one animation time; an owner that plays its own time rewinds and then animates by it.
    void RewindObjects();
    // Every light at its file values, its position moved by the parent matrix.
    void PlaceLights(SceneSink& sink, const Matrix& parent);
    // Animated lights advance and take their tracks' values; the others are placed.
    void AnimateLights(SceneSink& sink, const Matrix& parent, float seconds);
    // Aims the sink's camera through the first camera of this name (the first camera when no
    // name matches), advancing its tracks. Does nothing for a model without cameras.
    void SelectCamera(SceneSink& sink, const Matrix& parent, const char* name, float seconds);

    GrowArray<Material>& Materials() { return materials_; }
    GrowArray<SceneObject>& Objects() { return objects_; }
    GrowArray<SceneLight>& Lights() { return lights_; }
    GrowArray<SceneCamera>& Cameras() { return cameras_; }
    const GrowArray<Material>& Materials() const { return materials_; }
    const GrowArray<SceneObject>& Objects() const { return objects_; }
    const GrowArray<SceneLight>& Lights() const { return lights_; }
    const GrowArray<SceneCamera>& Cameras() const { return cameras_; }

    // The index of the object's material in this model, or −1.
    int32_t MaterialIndex(const SceneObject& object) const;

    const Vec4& FirstSceneVector() const { return sceneFirst_; }
    const Vec4& SecondSceneVector() const { return sceneSecond_; }
    int32_t FrameCount() const { return frameCount_; }
    bool Animated() const { return animated_; }
    const VectorTrack& ModelTrackFirst() const { return modelTrackFirst_; }
    const VectorTrack& ModelTrackSecond() const { return modelTrackSecond_; }

private:
    struct Reading;

    bool ReadHeader(ResourceReader& reader);
    bool ReadBody(ResourceReader& reader, Reading& reading);
    bool ReadMaterials(ResourceReader& reader);
    bool ReadObjects(ResourceReader& reader);
    bool ReadObject(ResourceReader& reader, SceneObject& object, int32_t& materialIndex);
    bool ReadLights(ResourceReader& reader, GrowArray<SceneLight>& lights);
    bool ReadCameras(ResourceReader& reader, GrowArray<SceneCamera>& cameras);
    void LinkMaterial(SceneObject& object, int32_t index);

    Vec4 sceneFirst_{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 sceneSecond_{0.0f, 0.0f, 0.0f, 1.0f};
    int32_t frameCount_ = 0;
    bool animated_ = false;
    VectorTrack modelTrackFirst_;
    VectorTrack modelTrackSecond_;
    // Destroyed from the bottom up: cameras, lights, objects (leaving their materials' lists),
    // then materials.
    GrowArray<Material> materials_;
    GrowArray<SceneObject> objects_;
    GrowArray<SceneLight> lights_;
    GrowArray<SceneCamera> cameras_;
};
