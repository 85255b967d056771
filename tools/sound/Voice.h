#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sound/Sound.h"

// A named recipe of the synth kit that the score's samples choose, with the settings it takes.
struct VoiceParam {
    const char* name;
    double value;  // the default
    double low;
    double high;
};

// The numbers a recipe reads: its defaults, overridden by the score.
class VoiceSettings {
public:
    void Set(const std::string& name, double value) { values_[name] = value; }
    // 0 for a name the recipe did not declare.
    double operator[](const std::string& name) const;

private:
    std::map<std::string, double> values_;
};

struct Voice {
    const char* name;
    std::vector<VoiceParam> params;
    Sound (*make)(const VoiceSettings& settings);

    const VoiceParam* FindParam(const std::string& paramName) const;
    VoiceSettings Defaults() const;

    // Every recipe of the kit; null for an unknown name.
    static const Voice* Find(const std::string& name);
    static std::vector<const Voice*> All();
};
