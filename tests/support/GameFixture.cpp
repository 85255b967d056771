#include "GameFixture.h"

#include <cstdlib>
#include <memory>

#include "engine/platform/DataDirectory.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/SoundSystem.h"
#include "engine/render/ShaderDirectory.h"

namespace {
std::unique_ptr<SoundSystem> sound;  // the library runs silent for the whole suite
}  // namespace

void GameFixture::SetUpTestSuite()
{
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    sound = std::make_unique<SoundSystem>();
    sound->Start(24, 44100, 1);
}

void GameFixture::TearDownTestSuite()
{
    sound.reset();
}

void GameFixture::Play(const std::string& script, float dt)
{
    ASSERT_TRUE(WritePlayData(data.Path(""), script));
    archive = data.Path("data.qzr");
    ArchivePath = archive.c_str();
    DataDirectory::Set(data.Path(""));
    game = std::make_unique<Game>();
    game->SetFixedStep(dt);
    game->BeginPlay();
    frame = 0;
    events.clear();
}

void GameFixture::Stop()
{
    if (game) {
        game->EndPlay();
        game.reset();
    }
    ArchivePath = nullptr;
    DataDirectory::Set("");
}

void GameFixture::Frames(int n, bool fire)
{
    held.input.button = fire;
    InputFeed* previous = game->inputFeed;
    if (previous == nullptr) game->inputFeed = &held;
    for (int i = 0; i < n; ++i, ++frame) {
        game->PlayFrame();
        device.ClearLog();
        for (const GameEvent& event : game->Events()) {
            events.push_back({frame, event.subject != nullptr ? std::string(event.kind) + " " + event.subject
                                                              : std::string(event.kind) + " " + std::to_string(event.order)});
        }
    }
    game->inputFeed = previous;
}

std::vector<int> GameFixture::FramesOf(const std::string& text) const
{
    std::vector<int> frames;
    for (const Event& event : events)
        if (event.text == text) frames.push_back(event.frame);
    return frames;
}

bool GameFixture::Attached(const SceneNode* node) const
{
    const SceneNode* first = game->root->firstChild;
    for (const SceneNode* child = first; child != nullptr; child = child->next == first ? nullptr : child->next)
        if (child == node) return true;
    return false;
}
