#include "engine/scene/TextureCache.h"

#include <map>
#include <memory>
#include <string>

#include "engine/scene/Texture.h"

namespace {

using TextureMap = std::map<std::string, std::unique_ptr<Texture>>;

TextureMap& Entries()
{
    static TextureMap entries;
    return entries;
}

}  // namespace

Texture* TextureCache::Get(const char* name)
{
    TextureMap& entries = Entries();
    const std::string key(name);
    const auto found = entries.find(key);
    if (found != entries.end()) return found->second.get();
    auto texture = std::make_unique<Texture>();
    texture->Load(name);
    Texture* result = texture.get();
    entries.emplace(key, std::move(texture));
    return result;
}

void TextureCache::Clear()
{
    TextureMap& entries = Entries();
    for (auto& entry : entries) entry.second->Release();
    entries.clear();
}

size_t TextureCache::Count()
{
    return Entries().size();
}
