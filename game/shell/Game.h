#pragma once

#include <cstdint>
#include <vector>

#include "engine/platform/SdlPerformanceCounter.h"
#include "game/actors/ActorGame.h"
#include "game/actors/Explosion.h"
#include "game/actors/PlayerShip.h"
#include "game/shell/Replay.h"
#include "game/world/Level.h"
#include "game/world/World.h"

struct FMUSIC_MODULE;

// The game's world: the player's ship, the level, the quit flag and the music. One Game lives for
// the whole program; each Run plays the level from its beginning until the quit flag is set
// (Escape, the window closed, 5 s after the ship's destruction, 15 s into the credits) and then
// empties the caches, so that the next Run starts afresh.
//
// Tools and tests that step frames themselves (a fixed time step, input from a feed) call
// BeginPlay, PlayFrame until QuitRequested, and EndPlay: Run is exactly that with the clock.
class Game final : public World, public ActorGame {
public:
    static constexpr const char* kMusicName = "ZEZIZIV5.it";
    static constexpr int32_t kLevelMusicOrder = 11;

    // Needs the display (the renderer's set-up) and, for real input, the game window. Starts the
    // timer and the input and registers the scriptable classes.
    Game();
    ~Game() override;

    // Plays the level once. Returns false in every case.
    bool Run();
    // The level from its beginning: a fresh tree, the ship and the level loaded and attached, the
    // renderer's colours, the music at order 11, the resources of an explosion in the caches.
    void BeginPlay();
    // One frame: every pending window message (Escape and quit set the flag), then World::Step.
    void PlayFrame();
    // The ship and the level detached and unloaded; every cache emptied and the music stopped.
    void EndPlay();
    bool QuitRequested() const { return quitFlag; }

    // From the next BeginPlay on, every frame is appended to the replay (not owned; null stops
    // recording), which first takes what the play starts from.
    void Record(Replay* replay);
    // What the replay's play started from, for the next BeginPlay: its level script, and the
    // ship's fire cooldown and blink clock.
    void StartAs(const Replay& replay);

    float ShipProgressZ() const override { return ship.progressZ; }
    void RequestQuit(const char* reason) override;
    void Report(const GameEvent& event) override;
    PlayerShip& Ship() override { return ship; }
    void JumpMusic(int32_t order) override;
    void TookCamera(const char* owner) override { cameraOwner_ = owner; }

    // What was reported since the start of the last BeginPlay or PlayFrame.
    const std::vector<GameEvent>& Events() const { return events_; }
    // The first quit reason of this play, or null while none.
    const char* QuitReason() const { return quitReason_; }
    // Who aimed the camera last: "ship", "boss", "door" or "end".
    const char* CameraOwner() const { return cameraOwner_; }

    PlayerShip ship;
    Level level;
    bool quitFlag = false;
    FMUSIC_MODULE* music = nullptr;

private:
    void RemoveMessages();
    void ApplyRendererSettings();
    void StartMusic();
    void RecordFrame();
    int64_t Now();
    double MillisecondsSince(int64_t count);

    SdlPerformanceCounter counter_;
    Explosion preload_;
    std::vector<GameEvent> events_;
    const char* quitReason_ = nullptr;
    const char* cameraOwner_ = "ship";
    Replay* recording_ = nullptr;
    ReplayFrame taken_;  // the messages this frame's loop took, for the recording
};
