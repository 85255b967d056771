#pragma once

#include <cstddef>

class SceneModel;

// The process-wide cache of models shared by all actors of a kind, by exact file name. The
// first request loads the model; a failed load keeps its empty model, returned from then on.
// The cache owns the models; pointers stay valid until Clear.
class ModelCache {
public:
    static SceneModel* Get(const char* name);
    // Destroys every model and empties the cache.
    static void Clear();
    static size_t Count();
};
