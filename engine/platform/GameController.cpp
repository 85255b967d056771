#include "engine/platform/GameController.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kAxisFullTravel = 32767.0f;

float Magnitude(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

}  // namespace

std::unique_ptr<GameController> GameController::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return nullptr;
    std::unique_ptr<GameController> controller(new GameController());
    for (int i = 0; i < SDL_NumJoysticks(); ++i) controller->Open(i);
    SDL_AddEventWatch(&GameController::OnEvent, controller.get());
    return controller;
}

GameController::~GameController()
{
    SDL_DelEventWatch(&GameController::OnEvent, this);
    for (SDL_GameController* controller : controllers_) SDL_GameControllerClose(controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int GameController::OnEvent(void* self, SDL_Event* event)
{
    auto* controller = static_cast<GameController*>(self);
    if (event->type == SDL_CONTROLLERDEVICEADDED) controller->Open(event->cdevice.which);
    else if (event->type == SDL_CONTROLLERDEVICEREMOVED) controller->Close(event->cdevice.which);
    return 0;
}

// Opening at start-up and the arrival event that SDL also queues for it name the same device:
// it is opened once.
void GameController::Open(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex)) return;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* open : controllers_) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(open)) == id) return;
    }
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) controllers_.push_back(controller);
}

void GameController::Close(int32_t instanceId)
{
    for (auto it = controllers_.begin(); it != controllers_.end(); ++it) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) != instanceId) continue;
        SDL_GameControllerClose(*it);
        controllers_.erase(it);
        return;
    }
}

ControllerState GameController::Read() const
{
    ControllerState state;
    state.connected = static_cast<int>(controllers_.size());
    for (SDL_GameController* controller : controllers_) {
        const float x = StickValue(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
        // SDL counts y downwards; the game's "up" is the stick pushed away from the player.
        const float y = -StickValue(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
        if (Magnitude(x, y) > Magnitude(state.stickX, state.stickY)) {
            state.stickX = x;
            state.stickY = y;
        }
        const float trigger = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) / kAxisFullTravel;
        state.fire = state.fire || SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_A) != 0 ||
                     trigger > kTriggerThreshold;
    }
    return state;
}

float GameController::StickValue(int16_t raw)
{
    const float value = std::clamp(static_cast<float>(raw) / kAxisFullTravel, -1.0f, 1.0f);
    const float beyond = std::fabs(value) - kDeadZone;
    if (beyond <= 0.0f) return 0.0f;
    return std::copysign(beyond / (1.0f - kDeadZone), value);
}
