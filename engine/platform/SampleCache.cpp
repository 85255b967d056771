#include "engine/platform/SampleCache.h"

#include <map>
#include <memory>
#include <string>

#include "engine/platform/SoundSample.h"

namespace {

std::map<std::string, std::unique_ptr<SoundSample>>& Samples()
{
    static std::map<std::string, std::unique_ptr<SoundSample>> samples;
    return samples;
}

}  // namespace

SoundSample* SampleCache::Get(const char* name, bool loop, bool hardware3d, bool effects)
{
    if (name == nullptr) return nullptr;
    auto& samples = Samples();
    const auto found = samples.find(name);
    if (found != samples.end()) return found->second.get();
    auto sample = std::make_unique<SoundSample>();
    sample->Load(name, loop, hardware3d, effects);
    return samples.emplace(name, std::move(sample)).first->second.get();
}

void SampleCache::Clear()
{
    Samples().clear();
}

size_t SampleCache::Count()
{
    return Samples().size();
}
