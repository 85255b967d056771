#include "tools/importer/ModelImporter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "tools/importer/AxisAngle.h"
#include "tools/importer/AxisConversion.h"
#include "tools/importer/MeshConversion.h"
#include "tools/importer/NodeAnimation.h"
#include "tools/importer/RigidSplit.h"
#include "tools/importer/SourceScene.h"

namespace {

constexpr size_t kMaxNameBytes = 255;                // a 3DF name field keeps 255 bytes and its terminator
constexpr uint64_t kMaxFileBytes = 0x7FFFFFFF;       // the largest file the engine reads
constexpr uint64_t kObjectFixedBytes = 12 + 40 + 1;  // counts and material, placement, animation flag
constexpr uint64_t kObjectKeyBytes = 40;
constexpr uint64_t kVertexBytes = 56;
constexpr float kLightCutoff = 1.0f / 256.0f;  // share of a light's brightness where its radius ends
constexpr float kUnboundedRadius = 5000.0f;    // units: the camera's far plane, for a light that never fades
constexpr float kTargetDistance = 1.0f;        // units from a camera's eye to the target point written for it
constexpr float kEngineAspect = 4.0f / 3.0f;   // width / height taken for a camera that gives none
constexpr const char* kLightRangeKey = "PBR_LightRange";  // where the glTF reader keeps a light's range

// "mesh 'Hull'", or "mesh #2" for one without a name.
std::string Named(const char* kind, const aiString& name, unsigned index)
{
    if (name.length > 0) return std::string(kind) + " '" + name.C_Str() + "'";
    return std::string(kind) + " #" + std::to_string(index);
}

std::string Named(const char* kind, const aiString& name)
{
    return name.length > 0 ? std::string(kind) + " '" + name.C_Str() + "'" : std::string("an unnamed ") + kind;
}

const char* LightKind(aiLightSourceType type)
{
    switch (type) {
    case aiLightSource_DIRECTIONAL: return "a directional light";
    case aiLightSource_SPOT: return "a spot light";
    case aiLightSource_AMBIENT: return "an ambient light";
    case aiLightSource_AREA: return "an area light";
    default: return "a light of no known kind";
    }
}

Float3 ToFloat3(const Vec4& v)
{
    return {v.x, v.y, v.z};
}

bool Finite(const Vec4& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool Finite(const Float3& v)
{
    return Finite(Vec4(v.x, v.y, v.z));
}

const char* const kNotANumber = " has a position that is not a number";

Vec4 FromAi(const aiVector3D& v, float w)
{
    return {v.x, v.y, v.z, w};
}

// Where the light's brightness falls to the cutoff under the source's attenuation 1 / (c + l·d + q·d²).
float RadiusFromAttenuation(const aiLight& light)
{
    const float brightness = std::max({light.mColorDiffuse.r, light.mColorDiffuse.g, light.mColorDiffuse.b});
    if (!(brightness > 0.0f)) return 0.0f;
    const float c = light.mAttenuationConstant, l = light.mAttenuationLinear, q = light.mAttenuationQuadratic;
    const float excess = brightness / kLightCutoff - c;
    if (!(excess > 0.0f)) return 0.0f;
    if (q > 0.0f) return (-l + std::sqrt(l * l + 4.0f * q * excess)) / (2.0f * q);
    if (l > 0.0f) return excess / l;
    return kUnboundedRadius;
}

bool RangeOf(const aiNode* node, float* range)
{
    if (node == nullptr || node->mMetaData == nullptr) return false;
    double wide = 0.0;
    if (node->mMetaData->Get(kLightRangeKey, *range)) return true;
    if (!node->mMetaData->Get(kLightRangeKey, wide)) return false;
    *range = static_cast<float>(wide);
    return true;
}

class Conversion {
public:
    Conversion(const SourceScene& source, const ImportOptions& options, const std::string& pictureStem,
               ImportResult& result)
        : scene_(source.Scene()),
          fromGltf_(source.FromGltf()),
          options_(options),
          axes_(options.scale),
          materials_(scene_, pictureStem),
          result_(result),
          model_(result.model),
          animation_(scene_, scene_.mNumAnimations > 0 ? scene_.mAnimations[0] : nullptr)
    {
    }

    bool Run()
    {
        if (!Refuse() || !ChooseFrames() || !Objects() || !Lights() || !Cameras()) return false;
        if (model_.objects.empty() && model_.lights.empty() && model_.cameras.empty()) {
            return Fail("it holds no meshes, point lights or cameras");
        }
        result_.pictures = materials_.Pictures();
        result_.notes.insert(result_.notes.end(), materials_.Notes().begin(), materials_.Notes().end());
        return true;
    }

private:
    bool Fail(const std::string& error)
    {
        result_.error = error;
        return false;
    }

    // What 3DF cannot hold, named, before anything is converted.
    bool Refuse()
    {
        for (unsigned i = 0; i < scene_.mNumMeshes; ++i) {
            const aiMesh& mesh = *scene_.mMeshes[i];
            if (mesh.mNumBones > 0) {
                return Fail(Named("mesh", mesh.mName, i) + " is skinned (" + std::to_string(mesh.mNumBones) +
                            " bones); 3DF holds no skinning");
            }
            if (mesh.mNumAnimMeshes > 0) {
                return Fail(Named("mesh", mesh.mName, i) + " has morph targets; 3DF holds none");
            }
            if ((mesh.mPrimitiveTypes & (aiPrimitiveType_TRIANGLE | aiPrimitiveType_POLYGON)) == 0) {
                return Fail(Named("mesh", mesh.mName, i) + " holds points or lines; 3DF holds triangles only");
            }
        }
        for (unsigned i = 0; i < scene_.mNumLights; ++i) {
            const aiLight& light = *scene_.mLights[i];
            if (light.mType != aiLightSource_POINT) {
                return Fail(Named("light", light.mName, i) + " is " + LightKind(light.mType) +
                            "; 3DF holds point lights only");
            }
        }
        for (unsigned i = 0; i < scene_.mNumCameras; ++i) {
            const aiCamera& camera = *scene_.mCameras[i];
            if (camera.mOrthographicWidth > 0.0f) {
                return Fail(Named("camera", camera.mName, i) + " is orthographic; 3DF cameras have a field of view");
            }
            if (std::string(camera.mName.C_Str()).size() > kMaxNameBytes) {
                return Fail(Named("camera", camera.mName, i) + " has a name longer than 255 bytes");
            }
        }
        for (unsigned i = 0; i < scene_.mNumAnimations; ++i) {
            const aiAnimation& animation = *scene_.mAnimations[i];
            if (animation.mNumMeshChannels > 0 || animation.mNumMorphMeshChannels > 0) {
                return Fail(Named("animation", animation.mName, i) +
                            " changes meshes' vertices; 3DF animates only placements");
            }
        }
        return true;
    }

    // The key times: every 1 / keysPerSecond seconds from 0, the last at the animation's end.
    bool ChooseFrames()
    {
        if (scene_.mNumAnimations > 1) {
            result_.notes.push_back("only the first of " + std::to_string(scene_.mNumAnimations) + " animations, " +
                                    Named("animation", scene_.mAnimations[0]->mName, 0) + ", is taken");
        }
        if (scene_.mNumAnimations == 0) {
            // Still cameras need one key: the engine aims only through a camera's keys.
            if (scene_.mNumCameras > 0) times_ = {0.0};
            model_.frameCount = static_cast<int32_t>(times_.size());
            return true;
        }
        const double seconds = animation_.Seconds();
        const double keys = std::ceil(seconds * options_.keysPerSecond - 1e-4) + 1.0;
        if (!(keys <= ModelImporter::kMaxFrames)) {
            return Fail(Named("animation", scene_.mAnimations[0]->mName, 0) + " lasts " + std::to_string(seconds) +
                        " s, more than " + std::to_string(ModelImporter::kMaxFrames) + " keys");
        }
        for (int32_t k = 0; k < static_cast<int32_t>(keys); ++k) {
            times_.push_back(std::min(k / static_cast<double>(options_.keysPerSecond), seconds));
        }
        model_.frameCount = static_cast<int32_t>(times_.size());
        return true;
    }

    // Depth first, children in order, so that the objects follow the file's node order.
    bool Objects()
    {
        std::vector<const aiNode*> pending{scene_.mRootNode};
        while (!pending.empty()) {
            const aiNode* node = pending.back();
            pending.pop_back();
            for (unsigned i = 0; i < node->mNumMeshes; ++i) {
                if (node->mMeshes[i] >= scene_.mNumMeshes) {
                    return Fail(Named("node", node->mName) + " names a mesh the file does not have");
                }
                if (!Object(*node, *scene_.mMeshes[node->mMeshes[i]], node->mMeshes[i])) return false;
            }
            for (unsigned i = node->mNumChildren; i > 0; --i) {
                if (node->mChildren[i - 1] != nullptr) pending.push_back(node->mChildren[i - 1]);
            }
        }
        return true;
    }

    bool Object(const aiNode& node, const aiMesh& mesh, unsigned meshIndex)
    {
        RigidSplit still;
        if (!RigidSplit::Split(axes_.Transform(NodeAnimation::StillGlobal(node)), &still)) {
            return Fail(Named("node", node.mName) + " has a zero scale or a transform that is not a number");
        }
        if (!Finite(still.position)) return Fail(Named("node", node.mName) + kNotANumber);
        ModelFileObject object;
        MeshData data;
        std::string reason;
        if (!MeshConversion::Convert(mesh, axes_.Frame() * still.baked, &data, &reason)) {
            return Fail(Named("mesh", mesh.mName, meshIndex) + " " + reason);
        }
        if (data.indices.empty()) {
            result_.notes.push_back(Named("mesh", mesh.mName, meshIndex) + " has no triangles and is left out");
            return true;
        }
        bytes_ += kObjectFixedBytes + data.vertices.size() * kVertexBytes + data.indices.size() * 4;
        if (bytes_ > kMaxFileBytes) {
            return Fail(Named("mesh", mesh.mName, meshIndex) + " makes the model larger than a 3DF file can be");
        }
        object.vertices = std::move(data.vertices);
        object.indices = std::move(data.indices);
        const AxisAngle rotation = AxisAngle::FromRotation(still.rotation);
        object.placement = {ToFloat3(still.position), ToFloat3(rotation.axis), rotation.angle, {}};
        if (animation_.Moves(node) && !ObjectKeys(node, still, &object)) return false;
        if (!MaterialIndex(mesh.mMaterialIndex, &object.material)) return false;
        model_.objects.push_back(std::move(object));
        return true;
    }

    bool ObjectKeys(const aiNode& node, const RigidSplit& still, ModelFileObject* object)
    {
        std::vector<AxisAngle> rotations;
        std::vector<Vec4> positions;
        for (double seconds : times_) {
            RigidSplit pose;
            if (!RigidSplit::Split(axes_.Transform(animation_.Global(node, seconds)), &pose) ||
                !RigidSplit::SameBaked(pose.baked, still.baked)) {
                return Fail(Named("node", node.mName) +
                            " is scaled or sheared by its animation; 3DF objects only move and turn");
            }
            if (!Finite(pose.position)) return Fail(Named("node", node.mName) + kNotANumber + " in its animation");
            rotations.push_back(AxisAngle::FromRotation(pose.rotation));
            positions.push_back(pose.position);
        }
        AxisAngle::MakeContinuous(rotations);
        object->animated = true;
        for (size_t k = 0; k < times_.size(); ++k) {
            object->keys.push_back({ToFloat3(positions[k]), ToFloat3(rotations[k].axis), rotations[k].angle, {}});
        }
        bytes_ += times_.size() * kObjectKeyBytes;
        if (bytes_ > kMaxFileBytes) {
            return Fail(Named("node", node.mName) + " makes the model larger than a 3DF file can be");
        }
        return true;
    }

    // Only the materials the objects use are written, in the order of first use.
    bool MaterialIndex(unsigned source, int32_t* index)
    {
        if (source >= scene_.mNumMaterials) {
            *index = -1;
            return true;
        }
        const auto known = materialIndices_.find(source);
        if (known != materialIndices_.end()) {
            *index = known->second;
            return true;
        }
        ModelFileMaterial material;
        std::string error;
        if (!materials_.Convert(*scene_.mMaterials[source], &material, &error)) return Fail(error);
        *index = static_cast<int32_t>(model_.materials.size());
        materialIndices_.emplace(source, *index);
        model_.materials.push_back(std::move(material));
        return true;
    }

    // The node's transform in the source's frame at key k, or as the file places it (k < 0).
    Matrix SourceGlobal(const aiNode* node, int k) const
    {
        if (node == nullptr) return Matrix();
        return k < 0 ? NodeAnimation::StillGlobal(*node) : animation_.Global(*node, times_[static_cast<size_t>(k)]);
    }

    bool Lights()
    {
        for (unsigned i = 0; i < scene_.mNumLights; ++i) {
            const aiLight& source = *scene_.mLights[i];
            const aiNode* node = scene_.mRootNode->FindNode(source.mName);
            ModelFileLight light;
            light.colour = {source.mColorDiffuse.r, source.mColorDiffuse.g, source.mColorDiffuse.b};
            if (std::max({light.colour.x, light.colour.y, light.colour.z}) > 1.0f) {
                result_.notes.push_back(
                    Named("light", source.mName, i) +
                    " is brighter than the engine's colours, which end at 1: export it at a lower intensity");
            }
            float range = 0.0f;
            light.radius = (RangeOf(node, &range) ? range : RadiusFromAttenuation(source)) * axes_.Scale();
            const Vec4 local = FromAi(source.mPosition, 1.0f);
            light.position = ToFloat3(axes_.Point(SourceGlobal(node, -1).Transform(local)));
            light.animated = node != nullptr && animation_.Moves(*node);
            for (int k = 0; light.animated && k < static_cast<int>(times_.size()); ++k) {
                light.positionKeys.push_back(ToFloat3(axes_.Point(SourceGlobal(node, k).Transform(local))));
                light.colourKeys.push_back(light.colour);
                light.radiusKeys.push_back(light.radius);
                if (!Finite(light.positionKeys.back())) {
                    return Fail(Named("light", source.mName, i) + kNotANumber + " in its animation");
                }
            }
            if (!Finite(light.position) || !Finite(light.colour) || !std::isfinite(light.radius)) {
                return Fail(Named("light", source.mName, i) + " has a position, colour or range that is not a number");
            }
            model_.lights.push_back(std::move(light));
        }
        return true;
    }

    // glTF cameras sit at their node's origin; the reader also copies the node's translation into
    // the camera's position, which would count it twice. Its horizontal angle for glTF is the
    // vertical field of view times the aspect; for other formats it is half the horizontal view.
    float FieldOfView(const aiCamera& camera) const
    {
        if (fromGltf_) return camera.mAspect > 0.0f ? camera.mHorizontalFOV / camera.mAspect : camera.mHorizontalFOV;
        const float aspect = camera.mAspect > 0.0f ? camera.mAspect : kEngineAspect;
        return 2.0f * std::atan(std::tan(camera.mHorizontalFOV) / aspect);
    }

    void Aim(const aiCamera& camera, const aiNode* node, int k, Vec4* eye, Vec4* target) const
    {
        const Matrix global = SourceGlobal(node, k);
        const Vec4 local = fromGltf_ ? Vec4(0.0f, 0.0f, 0.0f, 1.0f) : FromAi(camera.mPosition, 1.0f);
        *eye = axes_.Point(global.Transform(local));
        Vec4 direction = AxisConversion::Direction(global.Transform(FromAi(camera.mLookAt, 0.0f)));
        if (!(direction.Length() > 0.0f)) direction = Vec4(0.0f, 0.0f, 1.0f, 0.0f);
        direction.SetLength(kTargetDistance);
        *target = *eye + direction;
    }

    bool Cameras()
    {
        for (unsigned i = 0; i < scene_.mNumCameras; ++i) {
            const aiCamera& source = *scene_.mCameras[i];
            const aiNode* node = scene_.mRootNode->FindNode(source.mName);
            const float fieldOfView = FieldOfView(source);
            if (!(fieldOfView > 0.0f && fieldOfView < Pi())) {
                return Fail(Named("camera", source.mName, i) + " has no usable field of view");
            }
            ModelFileCamera camera;
            camera.name = source.mName.C_Str();
            Vec4 eye, target;
            Aim(source, node, -1, &eye, &target);
            camera.staticFirst = ToFloat3(eye);
            camera.staticSecond = ToFloat3(target);
            camera.staticValue = fieldOfView;
            // Every camera carries keys, moving or not: the engine aims only through them.
            camera.animated = true;
            const bool moves = node != nullptr && animation_.Moves(*node);
            for (int k = 0; k < static_cast<int>(times_.size()); ++k) {
                if (moves) Aim(source, node, k, &eye, &target);
                if (!Finite(eye) || !Finite(target)) return Fail(Named("camera", source.mName, i) + kNotANumber);
                camera.eyeKeys.push_back(ToFloat3(eye));
                camera.targetKeys.push_back(ToFloat3(target));
                camera.fieldOfViewKeys.push_back(fieldOfView);
            }
            model_.cameras.push_back(std::move(camera));
        }
        return true;
    }

    const aiScene& scene_;
    const bool fromGltf_;
    const ImportOptions& options_;
    const AxisConversion axes_;
    MaterialConversion materials_;
    ImportResult& result_;
    ModelFile& model_;
    NodeAnimation animation_;
    std::vector<double> times_;  // seconds of the source's animation at each key
    std::map<unsigned, int32_t> materialIndices_;
    uint64_t bytes_ = 0;
};

}  // namespace

ImportResult ModelImporter::Import(const std::string& path, const ImportOptions& options,
                                   const std::string& pictureStem)
{
    ImportResult result;
    if (!(options.scale > 0.0f) || !std::isfinite(options.scale) || !(options.keysPerSecond > 0.0f) ||
        !std::isfinite(options.keysPerSecond)) {
        result.error = "the scale and the keys per second must be positive numbers";
        return result;
    }
    SourceScene source;
    if (!source.Read(path, &result.error)) return result;
    Conversion conversion(source, options, pictureStem, result);
    result.ok = conversion.Run();
    if (!result.ok) result.model = ModelFile{};
    return result;
}
