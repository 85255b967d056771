#include "engine/platform/ResourceReader.h"

#include <cstring>

void ResourceReader::Open(const char* name)
{
    if (file_.Load(name)) loaded_ = true;
}

uint32_t ResourceReader::Remaining() const
{
    const uint32_t size = file_.Size();
    return position_ < size ? size - position_ : 0;
}

void ResourceReader::Read(void* destination, uint32_t count)
{
    if (count == 0) return;
    const uint32_t available = Remaining();
    const uint32_t copied = count < available ? count : available;
    auto* out = static_cast<uint8_t*>(destination);
    if (copied > 0) std::memcpy(out, file_.Data() + position_, copied);
    if (copied < count) {
        std::memset(out + copied, 0, count - copied);
        failed_ = true;
    }
    // The position saturates rather than wrapping, so a later Seek still lands where asked.
    const uint64_t next = static_cast<uint64_t>(position_) + count;
    position_ = next > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(next);
}
