#pragma once

#include <cstring>

#include "game/world/Entity.h"

// The group names actors tell each other apart by, compared as exact bytes.
inline constexpr const char* kPlayerGroup = "Player";
inline constexpr const char* kEnemyGroup = "Enemy";
inline constexpr const char* kAmmoGroup = "Ammo";

// True when the node is an entity whose group name is exactly group.
inline bool InGroup(SceneNode* node, const char* group)
{
    auto* entity = dynamic_cast<Entity*>(node);
    const char* name = entity != nullptr ? entity->groupName() : nullptr;
    return name != nullptr && std::strcmp(name, group) == 0;
}
