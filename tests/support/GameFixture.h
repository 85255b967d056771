#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PlayData.h"
#include "SoundFiles.h"
#include "engine/device/NullDevice.h"
#include "game/shell/Game.h"
#include "game/world/FrameInput.h"
#include "game/world/InputFeed.h"

// The real Game on the null device over the stand-in data, stepped at a fixed time step, with the
// sound library running silent. Tests place actors by hand or through the level script, step
// frames, and read what the game reported.
class GameFixture : public ::testing::Test {
protected:
    struct Event {
        int frame;
        std::string text;  // "kind subject", or "music ORDER"
    };

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override { Stop(); }

    // Writes the data with this level script and begins a play at the time step.
    void Play(const std::string& script, float dt = 0.1f);
    // Ends the play and lets the game go.
    void Stop();
    // Steps n frames; with fire, the left mouse button is held throughout.
    void Frames(int n, bool fire = false);
    // Whether the node hangs under the root now (compared by address only).
    bool Attached(const SceneNode* node) const;
    // The node attached last, as that class, or null.
    template <typename Node>
    Node* Newest() const
    {
        return game->root->firstChild != nullptr ? dynamic_cast<Node*>(game->root->firstChild->prev) : nullptr;
    }
    // The frames at which an event of that text was reported.
    std::vector<int> FramesOf(const std::string& text) const;

    // An entity of the keyword, loaded, placed at (x, 0, z), stamped and attached as the level does.
    template <typename Actor>
    Actor* Spawn(const char* keyword, float x, float z)
    {
        auto* actor = dynamic_cast<Actor*>(game->Create(keyword));
        actor->load(game.get());
        actor->position = Vec4(x, 0.0f, z);
        actor->clock = game->level.elapsed;
        game->Attach(actor);
        return actor;
    }

    // The input Frames holds every frame (its button as Frames is told) while the game has no
    // other feed.
    class Held final : public InputFeed {
    public:
        void PostMessages() override {}
        void Apply(Input& to) override { input.WriteTo(to); }
        FrameInput input;
    };

    NullDevice device{640, 480};
    Held held;
    ScopedCurrentDevice current{&device};
    TempDir data;
    std::string archive;
    std::unique_ptr<Game> game;
    std::vector<Event> events;
    int frame = 0;
};
