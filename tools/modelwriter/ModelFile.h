#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/scene/MeshData.h"

// A 3DF file in memory as the data pipeline builds it, record for record. Every key list of an
// animated record is written with the file's frame count of keys (missing keys as zeros, extra
// ones dropped).
struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct ModelFileMaterial {
    Float3 ambient;
    Float3 diffuse;
    std::string bumpMap;  // empty: the engine's neutral bump map
    std::string texture;  // empty: no colour texture
    bool alphaMask = false;
    bool glow = false;
};

// One frame of an object's animation, in the file's order.
struct ObjectKey {
    Float3 position;
    Float3 axis;
    float angle = 0.0f;
    Float3 third;
};

struct ModelFileObject {
    int32_t material = -1;
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
    ObjectKey placement;
    bool animated = false;
    std::vector<ObjectKey> keys;
};

struct ModelFileLight {
    Float3 colour;
    Float3 position;
    float radius = 0.0f;
    bool animated = false;
    std::vector<Float3> colourKeys;
    std::vector<Float3> positionKeys;
    std::vector<float> radiusKeys;
};

struct ModelFileCamera {
    Float3 staticFirst;
    Float3 staticSecond;
    float staticValue = 0.0f;
    std::string name;  // at most 255 bytes are kept
    bool animated = false;
    std::vector<Float3> eyeKeys;
    std::vector<Float3> targetKeys;
    std::vector<float> fieldOfViewKeys;
};

struct ModelFile {
    Float3 sceneFirst;
    Float3 sceneSecond;
    int32_t frameCount = 0;
    bool animated = false;
    std::vector<Float3> modelTrackFirst;
    std::vector<Float3> modelTrackSecond;
    std::vector<ModelFileMaterial> materials;
    std::vector<ModelFileObject> objects;
    std::vector<ModelFileLight> lights;
    std::vector<ModelFileCamera> cameras;
};
