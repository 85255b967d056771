#pragma once

#include <cstdint>
#include <vector>

#include "engine/device/DeviceResource.h"

enum class IndexFormat { Index16, Index32 };

// A static index buffer of triangle-list indices: 16-bit, or 32-bit for meshes of more than 65,535
// vertices.
class IndexBuffer : public DeviceResource {
public:
    uint32_t Count() const { return count_; }
    IndexFormat Format() const { return format_; }
    // The indices widened to 32 bits; false when the device cannot read them back.
    virtual bool Read(std::vector<uint32_t>* indices) const = 0;

protected:
    IndexBuffer(GraphicsDevice* device, uint32_t count, IndexFormat format)
        : DeviceResource(device), count_(count), format_(format)
    {
    }

private:
    uint32_t count_;
    IndexFormat format_;
};
