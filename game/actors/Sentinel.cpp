#include "game/actors/Sentinel.h"

#include <cmath>
#include <cstring>

#include "engine/math/Matrix.h"
#include "engine/platform/Log.h"
#include "engine/scene/ModelCache.h"
#include "game/actors/ScriptBlock.h"
#include "game/world/ScriptReader.h"

void Sentinel::load(World* world)
{
    waveEnabled = false;
    period = kDefaultPeriod;
    phase = 0.0f;
    centreX = 0.0f;
    amplitude = kDefaultAmplitude;
    movespeed = kDefaultMoveSpeed;
    model = ModelCache::Get("nave.3df");
    radius = kRadius;
    hitPoints = kHitPoints;
}

void Sentinel::parse(ScriptReader& reader)
{
    while (const char* token = reader.NextToken()) {
        if (std::strcmp(token, "position") == 0) {
            ReadPosition(reader, position);
            centreX = position.x;
        } else if (std::strcmp(token, "wave") == 0) {
            waveEnabled = reader.ReadBool();
        } else if (std::strcmp(token, "phase") == 0) {
            phase = reader.ReadFloat();
        } else if (std::strcmp(token, "speed") == 0) {
            ReadPeriod(reader);
        } else if (std::strcmp(token, "amplitude") == 0) {
            amplitude = reader.ReadFloat();
        } else if (std::strcmp(token, "movespeed") == 0) {
            movespeed = reader.ReadFloat();
        } else {
            ReportUnknownToken(token, typeName());
        }
    }
}

void Sentinel::ReadPeriod(ScriptReader& reader)
{
    const float value = reader.ReadFloat();
    if (value == 0.0f) {
        Log::Print(2, "erro de parsing: speed 0 n\xE3o \xE9 aceito na classe Sentinel, mantido %g\n", period);
        return;
    }
    period = value;
}

void Sentinel::update(World* world, float dt)
{
    position.z -= dt * movespeed;
    clock += dt;
    if (waveEnabled) {
        // In double, as the wave's 1.0 / period is: the float π times the swings so far.
        const float pi = Pi();
        position.x = static_cast<float>(centreX + amplitude * std::sin(2 * pi * (clock * (1.0 / period) + phase)));
    }
    AdvanceDeath(world, dt);
}
