#pragma once

#include <cstdint>

// Something that happened in a frame, as the game reports it to whoever watches (a trace, a
// replay check). The texts are constants that live as long as the program.
struct GameEvent {
    const char* kind = "";             // "spawn", "fire", "hit", "destroyed", "music", "quit"
    const char* subject = nullptr;     // a type name, "player" or "enemy", a quit reason; null for music
    float z = 0.0f;                    // spawn: the entity's place along the level
    int32_t order = 0;                 // music: the order jumped to
};
