#include "tools/harntool/PlayTrace.h"

#include <cstring>

#include "game/shell/Game.h"
#include "tools/harntool/Json.h"

namespace {

std::string Text(const char* text)
{
    return JsonStringLatin1(text != nullptr ? text : "");
}

int CountUnder(const SceneNode* node)
{
    const SceneNode* first = node->firstChild;
    if (first == nullptr) return 0;
    int count = 0;
    const SceneNode* child = first;
    do {
        count += 1 + CountUnder(child);
        child = child->next;
    } while (child != first);
    return count;
}

}  // namespace

std::string PlayTrace::EventJson(const GameEvent& event)
{
    if (std::strcmp(event.kind, "music") == 0) return "{\"music\":" + std::to_string(event.order) + "}";
    std::string json = "{" + Text(event.kind) + ":" + Text(event.subject);
    if (std::strcmp(event.kind, "spawn") == 0) json += ",\"z\":" + JsonNumber(event.z);
    return json + "}";
}

int PlayTrace::CountNodes(const Game& game)
{
    return CountUnder(game.root);
}

void PlayTrace::Started(const Game& game)
{
    pending_ = game.Events();
    for (const GameEvent& event : pending_) Count(event);
}

void PlayTrace::Count(const GameEvent& event)
{
    if (std::strcmp(event.kind, "destroyed") == 0 && event.subject != nullptr && std::strcmp(event.subject, "PlayerShip") != 0)
        ++destroyed_[event.subject];
}

void PlayTrace::Frame(const Game& game, double cpuSeconds)
{
    seconds_ += game.LastStep();
    cpuSeconds_ += cpuSeconds;
    for (const GameEvent& event : game.Events()) {
        pending_.push_back(event);
        Count(event);
    }
    if (out_ != nullptr) {
        const PlayerShip& ship = game.ship;
        std::string line = "{\"frame\":" + std::to_string(frames_) + ",\"t\":" + JsonNumber(static_cast<float>(seconds_)) +
                           ",\"progressZ\":" + JsonNumber(ship.progressZ) + ",\"ship\":[" + JsonNumber(ship.position.x) +
                           "," + JsonNumber(ship.position.z) + "],\"health\":" + std::to_string(ship.health) +
                           ",\"fade\":" + JsonNumber(game.fade) + ",\"camera\":" + Text(game.CameraOwner()) +
                           ",\"nodes\":" + std::to_string(CountNodes(game)) + ",\"events\":[";
        for (size_t i = 0; i < pending_.size(); ++i) line += (i > 0 ? "," : "") + EventJson(pending_[i]);
        line += "]}\n";
        std::fputs(line.c_str(), out_);
    }
    pending_.clear();
    ++frames_;
}

std::string PlayTrace::Summary(const Game& game, const char* stopped) const
{
    std::string destroyed = "{";
    for (const auto& [kind, count] : destroyed_)
        destroyed += (destroyed.size() > 1 ? "," : "") + JsonStringLatin1(kind) + ":" + std::to_string(count);
    destroyed += "}";
    const auto boss = destroyed_.find("BossN1");
    const double meanCpuMs = frames_ > 0 ? cpuSeconds_ * 1000.0 / frames_ : 0.0;
    char mean[32];
    std::snprintf(mean, sizeof mean, "%.4f", meanCpuMs);
    return "{\"frames\":" + std::to_string(frames_) + ",\"seconds\":" + JsonNumber(static_cast<float>(seconds_)) +
           ",\"progressZ\":" + JsonNumber(game.ship.progressZ) + ",\"health\":" + std::to_string(game.ship.health) +
           ",\"destroyed\":" + destroyed + ",\"bossDestroyed\":" + (boss != destroyed_.end() ? "true" : "false") +
           ",\"stopped\":" + Text(stopped) + ",\"meanCpuMs\":" + mean + "}";
}
