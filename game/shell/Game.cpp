#include "game/shell/Game.h"

#include "engine/platform/DataDirectory.h"
#include "engine/platform/Fsound.h"
#include "engine/platform/Log.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/SampleCache.h"
#include "engine/platform/Window.h"
#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/TextureCache.h"
#include "game/world/InputFeed.h"
#include "game/actors/Boss.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/Door.h"
#include "game/actors/End.h"
#include "game/actors/Sentinel.h"

namespace {

constexpr Vec4 kBackground{0.0f, 0.0f, 0.0f, 1.0f};
constexpr Vec4 kAmbient{0.2f, 0.2f, 0.2f, 1.0f};
constexpr float kBlur = 0.012f;
constexpr Vec4 kGlowColour{1.0f, 1.0f, 1.0f, 1.0f};

}  // namespace

Game::Game()
{
    renderer.SetUpScene();
    StartTimer(&counter_);
    Window* window = Display::GetWindow();
    input.Init(window != nullptr ? window->Handle() : nullptr, Input::kKeyboard | Input::kMouse);
    input.Acquire();
    RegisterPrototype("Sentinel", new Sentinel);
    RegisterPrototype("DefenderN1", new DefenderN1);
    RegisterPrototype("End", new End);
    RegisterPrototype("Door", new Door);
    RegisterPrototype("BossN1", new Boss);
}

Game::~Game()
{
    input.Unacquire();
    input.Release();
}

bool Game::Run()
{
    const int64_t begun = Now();
    BeginPlay();
    int frames = 0;
    do {
        PlayFrame();
        if (++frames == 1) Log::Print(1, "level: first frame %.0f ms after the play began\n", MillisecondsSince(begun));
    } while (!quitFlag);
    Log::Print(1, "level: ended by %s after %d frames\n", quitReason_ != nullptr ? quitReason_ : "?", frames);
    EndPlay();
    return false;
}

int64_t Game::Now()
{
    int64_t count = 0;
    counter_.QueryCounter(&count);
    return count;
}

double Game::MillisecondsSince(int64_t count)
{
    int64_t frequency = 0;
    if (!counter_.QueryFrequency(&frequency) || frequency <= 0) return 0.0;
    return static_cast<double>(Now() - count) * 1000.0 / static_cast<double>(frequency);
}

void Game::Record(Replay* replay)
{
    recording_ = replay;
    if (replay == nullptr) return;
    replay->script = level.scriptName;
    replay->fireCooldown = ship.fireCooldown;
    replay->drawCounter = PlayerShip::drawCounter;
    replay->frames.clear();
    replay->complete = true;
    if (GraphicsDevice* device = GraphicsDevice::Current()) {
        replay->width = device->GetBackBuffer()->Width();
        replay->height = device->GetBackBuffer()->Height();
    }
}

void Game::StartAs(const Replay& replay)
{
    level.scriptName = replay.script;
    ship.fireCooldown = replay.fireCooldown;
    PlayerShip::drawCounter = replay.drawCounter;
}

void Game::BeginPlay()
{
    events_.clear();
    quitReason_ = nullptr;
    cameraOwner_ = "ship";
    ResetTree();
    ship.load(this);
    level.load(this);
    Attach(&ship);
    Attach(&level);
    ApplyRendererSettings();
    StartMusic();
    game = this;
    preload_.Start(Vec4(0.0f, 0.0f, 0.0f, 1.0f), 0.0f, false, false);
    quitFlag = false;
}

void Game::ApplyRendererSettings()
{
    renderer.SetBackgroundColor(kBackground);
    renderer.SetAmbientColor(kAmbient);
    renderer.SetGlowEnabled(true);
    renderer.SetBlur(kBlur);
    renderer.SetGlowColor(kGlowColour);
}

void Game::StartMusic()
{
    music = FMUSIC_LoadSong(DataDirectory::PathOf(kMusicName).c_str());
    FMUSIC_SetLooping(music, true);
    FMUSIC_PlaySong(music);
    FMUSIC_SetOrder(music, kLevelMusicOrder);
    Report({"music", nullptr, 0.0f, kLevelMusicOrder});
}

void Game::PlayFrame()
{
    events_.clear();
    if (inputFeed != nullptr) inputFeed->PostMessages();
    RemoveMessages();
    Step();
    RecordFrame();
}

// The frame as the passes saw it: nothing in them writes the input.
void Game::RecordFrame()
{
    if (recording_ != nullptr && recording_->complete) {
        if (recording_->frames.size() >= static_cast<size_t>(Replay::kMaxFrames)) {
            recording_->complete = false;
        } else {
            taken_.dt = LastStep();
            taken_.input = FrameInput::Read(input);
            recording_->frames.push_back(taken_);
        }
    }
    taken_ = ReplayFrame();
}

// Every waiting message is removed, also after the flag is set: none is left for the title screen.
void Game::RemoveMessages()
{
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT) {
            taken_.Take(ReplayMessage::kQuit);
            RequestQuit("window closed");
        } else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            taken_.Take(ReplayMessage::kEscape);
            RequestQuit("escape");
        } else {
            MessageQueue::TranslateMessage(message);
            MessageQueue::DispatchMessage(message);
        }
    }
}

void Game::EndPlay()
{
    SceneNode::Detach(&ship);
    SceneNode::Detach(&level);
    ship.unload();
    level.unload();
    TextureCache::Clear();
    ModelCache::Clear();
    FMUSIC_StopSong(music);
    // Each play loads its own song: the old one goes, so that plays do not pile songs up.
    FMUSIC_FreeSong(music);
    music = nullptr;
    SampleCache::Clear();
}

void Game::RequestQuit(const char* reason)
{
    if (quitReason_ == nullptr) {
        quitReason_ = reason;
        Report({"quit", reason});
    }
    quitFlag = true;
}

void Game::Report(const GameEvent& event)
{
    events_.push_back(event);
}

void Game::JumpMusic(int32_t order)
{
    FMUSIC_StopSong(music);
    FMUSIC_PlaySong(music);
    FMUSIC_SetOrder(music, order);
    Report({"music", nullptr, 0.0f, order});
}
