#pragma once

#include <cstdint>
#include <vector>

#include "engine/device/DeviceResource.h"
#include "engine/device/RenderSurface.h"

enum class TextureKind { Texture2D, Volume, RenderTarget };

// A texture on the device: a 2D picture with its mipmaps, a volume, or a render target whose level 0
// is a RenderSurface that SetRenderTarget accepts.
class DeviceTexture : public DeviceResource {
public:
    TextureKind Kind() const { return kind_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Depth() const { return depth_; }  // 1 unless a volume
    int Levels() const { return levels_; }

    // The surface of level 0 of a render target, owned by the texture; null for the other kinds.
    virtual RenderSurface* GetSurfaceLevel0() { return nullptr; }

    // Level 0 as RGBA bytes, rows top-down (slices one after another for a volume); false when the
    // device cannot read it back.
    virtual bool ReadLevel0(std::vector<uint8_t>* rgba) const = 0;

protected:
    DeviceTexture(GraphicsDevice* device, TextureKind kind, int width, int height, int depth, int levels)
        : DeviceResource(device), kind_(kind), width_(width), height_(height), depth_(depth), levels_(levels)
    {
    }

private:
    TextureKind kind_;
    int width_;
    int height_;
    int depth_;
    int levels_;
};

// Mip levels of a full chain down to 1 × 1 for a picture of that size.
int MipLevelCount(int width, int height);
