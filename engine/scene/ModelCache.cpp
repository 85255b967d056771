#include "engine/scene/ModelCache.h"

#include <map>
#include <memory>
#include <string>

#include "engine/scene/SceneModel.h"

namespace {

using ModelMap = std::map<std::string, std::unique_ptr<SceneModel>>;

ModelMap& Entries()
{
    static ModelMap entries;
    return entries;
}

}  // namespace

SceneModel* ModelCache::Get(const char* name)
{
    ModelMap& entries = Entries();
    const std::string key(name);
    const auto found = entries.find(key);
    if (found != entries.end()) return found->second.get();
    auto model = std::make_unique<SceneModel>();
    model->Load(name);
    SceneModel* result = model.get();
    entries.emplace(key, std::move(model));
    return result;
}

void ModelCache::Clear()
{
    Entries().clear();
}

size_t ModelCache::Count()
{
    return Entries().size();
}
