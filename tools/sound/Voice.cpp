#include "tools/sound/Voice.h"

#include "tools/sound/Families.h"

double VoiceSettings::operator[](const std::string& name) const
{
    const auto found = values_.find(name);
    return found == values_.end() ? 0.0 : found->second;
}

const VoiceParam* Voice::FindParam(const std::string& paramName) const
{
    for (const VoiceParam& param : params) {
        if (paramName == param.name) return &param;
    }
    return nullptr;
}

VoiceSettings Voice::Defaults() const
{
    VoiceSettings settings;
    for (const VoiceParam& param : params) settings.Set(param.name, param.value);
    return settings;
}

std::vector<const Voice*> Voice::All()
{
    std::vector<const Voice*> all;
    for (const std::vector<Voice>* family : {&DrumVoices(), &BassVoices(), &PadVoices(), &LeadVoices(), &EffectVoices()}) {
        for (const Voice& voice : *family) all.push_back(&voice);
    }
    return all;
}

const Voice* Voice::Find(const std::string& name)
{
    for (const Voice* voice : All()) {
        if (name == voice->name) return voice;
    }
    return nullptr;
}
