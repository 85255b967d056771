#pragma once

class DeviceResource;

// A surface the device can draw into: the back buffer (GraphicsDevice::GetBackBuffer) or level 0 of
// a render-target texture (DeviceTexture::GetSurfaceLevel0). Owned by the device or the texture;
// callers only hold the pointer.
class RenderSurface {
public:
    explicit RenderSurface(const DeviceResource* owner) : owner_(owner) {}
    RenderSurface(const RenderSurface&) = delete;
    RenderSurface& operator=(const RenderSurface&) = delete;
    virtual ~RenderSurface() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The back buffer has no owning texture.
    bool IsBackBuffer() const { return owner_ == nullptr; }
    const DeviceResource* Owner() const { return owner_; }

private:
    const DeviceResource* owner_;
};
