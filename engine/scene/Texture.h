#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/device/DeviceTexture.h"
#include "engine/scene/Picture.h"

// One texture of the game: a picture file decoded to RGBA and handed to the current device,
// which gives it its whole mipmap chain. Empty (no device texture) until loaded, after a failed
// load and after Release.
class Texture {
public:
    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture() = default;

    // Reads the whole file through ResourceFile and decodes it (JPEG, PNG, TGA or BMP). False,
    // with the texture left empty, for a missing or undecodable file or when there is no device.
    bool Load(const char* name);
    // Builds the texture from a decoded picture on the current device.
    bool Create(const Picture& picture);
    // Sets the texture on the stage (no texture when empty) with the address modes, 0 meaning
    // wrap, then applies the texture filter settings.
    void Bind(uint32_t stage, uint32_t addressU, uint32_t addressV) const;
    void Release() { deviceTexture_.reset(); }

    bool Empty() const { return deviceTexture_ == nullptr; }
    DeviceTexture* Device() const { return deviceTexture_.get(); }
    // The name it was loaded from, as given.
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::unique_ptr<DeviceTexture> deviceTexture_;
};
