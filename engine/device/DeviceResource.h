#pragma once

class GraphicsDevice;

// Something a GraphicsDevice created: a texture, a render surface, a buffer or a shader. The caller
// owns it (std::unique_ptr); the device keeps a list of what is alive so that destroying a resource
// unbinds it everywhere, and so that a device destroyed first leaves its resources empty but safe
// to destroy later (the caches may outlive the display at exit).
class DeviceResource {
public:
    DeviceResource(const DeviceResource&) = delete;
    DeviceResource& operator=(const DeviceResource&) = delete;
    virtual ~DeviceResource();

    // The device that made it; null once that device is gone.
    GraphicsDevice* Device() const { return device_; }

protected:
    explicit DeviceResource(GraphicsDevice* device);

    // The device is being destroyed before this resource: give up the device-side object. The
    // device's context is still current while this runs.
    virtual void OnDeviceGone() {}

private:
    friend class GraphicsDevice;
    GraphicsDevice* device_;
};
