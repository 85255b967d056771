#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Small glTF 2.0 files for the import tests: the test writes the scene's own members (nodes,
// meshes, materials, animations...) as JSON text; the writer keeps one buffer for every
// accessor's data and adds the buffer, its views and the accessors, as a .gltf text with the
// buffer in base64.
class GltfWriter {
public:
    static constexpr int kFloat = 5126;
    static constexpr int kUnsignedShort = 5123;

    // Floats of the given type ("SCALAR", "VEC3", ...), with their bounds; returns the index.
    int Floats(const std::vector<float>& values, const char* type, int components)
    {
        std::string bounds =
            ", \"min\": [" + Bound(values, components, true) + "], \"max\": [" + Bound(values, components, false) + "]";
        return Accessor(values.data(), values.size() * 4, kFloat, type, static_cast<int>(values.size()) / components, bounds);
    }
    int Shorts(const std::vector<uint16_t>& values, const char* type, int components)
    {
        return Accessor(values.data(), values.size() * 2, kUnsignedShort, type, static_cast<int>(values.size()) / components, "");
    }
    // A view of raw bytes (an image); returns the view's index.
    int View(const std::vector<uint8_t>& bytes) { return View(bytes.data(), bytes.size()); }

    std::string Gltf(const std::string& members) const
    {
        return "{" + Common(members) + ", \"buffers\": [{\"byteLength\": " + std::to_string(buffer_.size()) +
               ", \"uri\": \"data:application/octet-stream;base64," + Base64(buffer_) + "\"}]}";
    }

private:
    static std::string Bound(const std::vector<float>& values, int components, bool lowest)
    {
        std::string out;
        for (int c = 0; c < components; ++c) {
            float bound = values.empty() ? 0.0f : values[static_cast<size_t>(c)];
            for (size_t i = static_cast<size_t>(c); i < values.size(); i += static_cast<size_t>(components)) {
                bound = lowest ? std::min(bound, values[i]) : std::max(bound, values[i]);
            }
            out += (c > 0 ? ", " : "") + std::to_string(bound);
        }
        return out;
    }

    int View(const void* data, size_t size)
    {
        views_.push_back("{\"buffer\": 0, \"byteOffset\": " + std::to_string(buffer_.size()) + ", \"byteLength\": " + std::to_string(size) + "}");
        const auto* bytes = static_cast<const uint8_t*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
        buffer_.resize((buffer_.size() + 3) / 4 * 4, 0);
        return static_cast<int>(views_.size()) - 1;
    }

    int Accessor(const void* data, size_t size, int componentType, const char* type, int count, const std::string& bounds)
    {
        const int view = View(data, size);
        accessors_.push_back("{\"bufferView\": " + std::to_string(view) + ", \"componentType\": " + std::to_string(componentType) +
                             ", \"count\": " + std::to_string(count) + ", \"type\": \"" + type + "\"" + bounds + "}");
        return static_cast<int>(accessors_.size()) - 1;
    }

    std::string Common(const std::string& members) const
    {
        return "\"asset\": {\"version\": \"2.0\"}, " + members + ", \"bufferViews\": [" + Join(views_) +
               "], \"accessors\": [" + Join(accessors_) + "]";
    }

    static std::string Join(const std::vector<std::string>& parts)
    {
        std::string out;
        for (const std::string& part : parts) out += (out.empty() ? "" : ", ") + part;
        return out;
    }

    static std::string Base64(const std::vector<uint8_t>& bytes)
    {
        static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string out;
        for (size_t i = 0; i < bytes.size(); i += 3) {
            const size_t left = std::min<size_t>(3, bytes.size() - i);
            const uint32_t n = (bytes[i] << 16) | (left > 1 ? bytes[i + 1] << 8 : 0) | (left > 2 ? bytes[i + 2] : 0);
            for (size_t k = 0; k < 4; ++k) out += k <= left ? kDigits[(n >> (18 - 6 * k)) & 63] : '=';
        }
        return out;
    }

    std::vector<uint8_t> buffer_;
    std::vector<std::string> views_;
    std::vector<std::string> accessors_;
};
