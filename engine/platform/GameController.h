#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct _SDL_GameController;
union SDL_Event;

// What the game controllers say, read once a frame with the keyboard and the mouse.
struct ControllerState {
    // The left stick, in proportion to how far it is pushed: x from -1 (left) to +1 (right), y
    // from -1 (pulled towards the player) to +1 (pushed away, as the up arrow). Both read 0
    // inside the dead zone and reach ±1 at the end of the stick's travel.
    float stickX = 0.0f;
    float stickY = 0.0f;
    // A or the right trigger held: the game fires as with the left mouse button.
    bool fire = false;
    // Controllers attached now.
    int connected = 0;
};

// Every game controller attached, through SDL's game-controller interface: those present at
// creation and those plugged in later are opened as they arrive and closed as they leave (an
// event watch sees the arrivals, whichever loop drains the queue). With several attached, the
// stick pushed furthest counts and any fire button fires. Start and Back reach the game as the
// Enter and Escape key messages (MessageQueue), not through here.
class GameController {
public:
    // Fraction of the stick's travel that reads as 0, so that a stick at rest does not drift.
    static constexpr float kDeadZone = 0.2f;
    // Fraction of the right trigger's travel beyond which it fires.
    static constexpr float kTriggerThreshold = 0.5f;

    // Starts SDL's game-controller subsystem (held while this lives) and opens what is attached.
    // Null when the subsystem cannot start.
    static std::unique_ptr<GameController> Create();
    ~GameController();
    GameController(const GameController&) = delete;
    GameController& operator=(const GameController&) = delete;

    ControllerState Read() const;

    // One axis of SDL's range (-32768 … 32767) shaped by the dead zone into -1 … 1.
    static float StickValue(int16_t raw);

private:
    GameController() = default;
    static int OnEvent(void* self, SDL_Event* event);
    void Open(int deviceIndex);
    void Close(int32_t instanceId);

    std::vector<_SDL_GameController*> controllers_;
};
