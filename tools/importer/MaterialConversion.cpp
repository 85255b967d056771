#include "tools/importer/MaterialConversion.h"

#include <assimp/GltfMaterial.h>

#include <cctype>

#include "engine/scene/Picture.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr size_t kMaxNameBytes = 255;  // a 3DF name field keeps 255 bytes and its terminator
constexpr size_t kMaxKindLength = 8;   // letters of a picture kind taken for a file extension

Float3 Colour(const aiMaterial& material, const char* key, unsigned type, unsigned index, Float3 fallback)
{
    aiColor4D colour;
    if (material.Get(key, type, index, colour) != aiReturn_SUCCESS) return fallback;
    return {colour.r, colour.g, colour.b};
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool Glows(const aiMaterial& material, const std::string& name)
{
    const Float3 emissive = Colour(material, AI_MATKEY_COLOR_EMISSIVE, {0.0f, 0.0f, 0.0f});
    return emissive.x > 0.0f || emissive.y > 0.0f || emissive.z > 0.0f ||
           EndsWith(name, MaterialConversion::kGlowSuffix);
}

std::string AlphaMode(const aiMaterial& material)
{
    aiString mode;
    return material.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == aiReturn_SUCCESS ? mode.C_Str() : "";
}

// The file extension of an embedded picture: the reader's hint for a compressed one, PNG for
// the raw texels that are written as one.
std::string PictureKind(const aiTexture& texture)
{
    if (texture.mHeight != 0) return "png";
    std::string kind;
    for (size_t i = 0; i < kMaxKindLength && texture.achFormatHint[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(texture.achFormatHint[i]);
        if (std::isalnum(c)) kind += static_cast<char>(std::tolower(c));
    }
    return kind.empty() ? "bin" : kind;
}

// Raw texels (blue, green, red, alpha) as a PNG file; empty when the sizes are out of range.
std::vector<uint8_t> RawPicture(const aiTexture& texture)
{
    Picture picture;
    if (texture.pcData == nullptr || !AllocatePicture(picture, texture.mWidth, texture.mHeight)) return {};
    const size_t texels = static_cast<size_t>(texture.mWidth) * texture.mHeight;
    for (size_t i = 0; i < texels; ++i) {
        const aiTexel& texel = texture.pcData[i];
        uint8_t* rgba = &picture.rgba[i * 4];
        rgba[0] = texel.r;
        rgba[1] = texel.g;
        rgba[2] = texel.b;
        rgba[3] = texel.a;
    }
    return PictureWriter::Png(picture);
}

std::vector<uint8_t> PictureBytes(const aiTexture& texture)
{
    if (texture.mHeight != 0) return RawPicture(texture);
    if (texture.pcData == nullptr || texture.mWidth == 0) return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(texture.pcData);
    return {bytes, bytes + texture.mWidth};
}

}  // namespace

MaterialConversion::MaterialConversion(const aiScene& scene, std::string pictureStem)
    : scene_(scene), pictureStem_(std::move(pictureStem))
{
}

bool MaterialConversion::Convert(const aiMaterial& material, ModelFileMaterial* out, std::string* error)
{
    const std::string name = material.GetName().C_Str();
    out->ambient = Colour(material, AI_MATKEY_COLOR_AMBIENT, {0.0f, 0.0f, 0.0f});
    out->diffuse = Colour(material, AI_MATKEY_COLOR_DIFFUSE, {1.0f, 1.0f, 1.0f});
    out->glow = Glows(material, name);
    const std::string alphaMode = AlphaMode(material);
    out->alphaMask = alphaMode == "MASK" || material.GetTextureCount(aiTextureType_OPACITY) > 0;
    if (alphaMode == "BLEND") {
        notes_.push_back("material '" + name + "' blends with what is behind it; 3DF draws it opaque");
    }
    if (!TextureName(material, aiTextureType_DIFFUSE, &out->texture, error) ||
        (out->texture.empty() && !TextureName(material, aiTextureType_BASE_COLOR, &out->texture, error)) ||
        !TextureName(material, aiTextureType_NORMALS, &out->bumpMap, error) ||
        (out->bumpMap.empty() && !TextureName(material, aiTextureType_HEIGHT, &out->bumpMap, error))) {
        *error = "material '" + name + "': " + *error;
        return false;
    }
    return true;
}

bool MaterialConversion::TextureName(const aiMaterial& material, aiTextureType type, std::string* name,
                                     std::string* error)
{
    name->clear();
    aiString path;
    if (material.GetTextureCount(type) == 0 || material.GetTexture(type, 0, &path) != aiReturn_SUCCESS) return true;
    const auto [embedded, index] = scene_.GetEmbeddedTextureAndIndex(path.C_Str());
    if (embedded != nullptr) return EmbeddedName(*embedded, index, name, error);
    *name = path.C_Str();
    if (name->size() > kMaxNameBytes) {
        *error = "the texture name '" + *name + "' is longer than 255 bytes";
        return false;
    }
    return true;
}

bool MaterialConversion::EmbeddedName(const aiTexture& texture, int index, std::string* name, std::string* error)
{
    const auto known = embeddedNames_.find(index);
    if (known != embeddedNames_.end()) {
        *name = known->second;
        return true;
    }
    ImportedPicture picture{pictureStem_ + "_" + std::to_string(index) + "." + PictureKind(texture),
                            PictureBytes(texture)};
    if (picture.bytes.empty()) {
        *error = "embedded picture " + std::to_string(index) + " is empty or too large";
        return false;
    }
    if (picture.name.size() > kMaxNameBytes) {
        *error = "the name '" + picture.name + "' for its embedded picture is longer than 255 bytes";
        return false;
    }
    Picture decoded;
    if (!DecodePicture(picture.bytes.data(), picture.bytes.size(), decoded)) {
        notes_.push_back("embedded picture '" + picture.name + "' is of a kind the engine cannot decode");
    }
    *name = picture.name;
    embeddedNames_.emplace(index, picture.name);
    pictures_.push_back(std::move(picture));
    return true;
}
