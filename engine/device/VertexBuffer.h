#pragma once

#include <cstdint>
#include <vector>

#include "engine/device/DeviceResource.h"
#include "engine/device/DeviceVertices.h"

// A static vertex buffer of mesh vertices (56 bytes each) for DrawIndexedPrimitive.
class VertexBuffer : public DeviceResource {
public:
    uint32_t Count() const { return count_; }
    // The vertices as the device holds them; false when it cannot read them back.
    virtual bool Read(std::vector<MeshVertex>* vertices) const = 0;

protected:
    VertexBuffer(GraphicsDevice* device, uint32_t count) : DeviceResource(device), count_(count) {}

private:
    uint32_t count_;
};
