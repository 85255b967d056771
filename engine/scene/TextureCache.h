#pragma once

#include <cstddef>

class Texture;

// The process-wide cache of textures by exact file name (case matters). Each name is loaded
// once; a failed load keeps its empty texture, which later requests get without retrying. The
// cache owns the textures; pointers stay valid until Clear.
class TextureCache {
public:
    static Texture* Get(const char* name);
    // Releases and deletes every texture and empties the cache.
    static void Clear();
    static size_t Count();
};
