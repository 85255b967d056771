#include <cstddef>
#include <cstdint>

#include "game/actors/Boss.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/Door.h"
#include "game/actors/End.h"
#include "game/actors/Sentinel.h"
#include "game/world/ScriptReader.h"
#include "game/world/World.h"

// Hands arbitrary level scripts to the actors' own block readers, then lets each actor live a few
// frames on its own: no block may crash an actor.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World* world = [] {
        auto* made = new World;
        made->RegisterPrototype("Sentinel", new Sentinel);
        made->RegisterPrototype("DefenderN1", new DefenderN1);
        made->RegisterPrototype("End", new End);
        made->RegisterPrototype("Door", new Door);
        made->RegisterPrototype("BossN1", new Boss);
        return made;
    }();
    ScriptReader reader;
    reader.OpenText(reinterpret_cast<const char*>(data), size);
    while (const char* keyword = reader.NextEntity()) {
        auto* entity = dynamic_cast<ScriptedEntity*>(world->Create(keyword));
        if (entity == nullptr) continue;
        entity->load(world);
        entity->parse(reader);
        for (int frame = 0; frame < 4; ++frame) {
            entity->update(world, 0.1f);
            entity->draw(world);
        }
        delete entity;
    }
    world->ResetTree();
    return 0;
}
