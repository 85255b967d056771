#include "game/shell/Autopilot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/platform/Input.h"
#include "game/world/FrameInput.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/Enemy.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShot.h"
#include "game/actors/Sentinel.h"
#include "game/shell/Game.h"

namespace {

constexpr float kPreferenceWeight = 0.02f;  // danger per unit away from the enemy it aims at

// Calls visit on every node of the tree under root (not root itself), in pass order.
template <typename Visit>
void ForEachNode(SceneNode* root, Visit visit)
{
    SceneNode* first = root->firstChild;
    if (first == nullptr) return;
    SceneNode* node = first;
    do {
        visit(node);
        ForEachNode(node, visit);
        node = node->next;
    } while (node != first);
}

// Where a swinging sentinel will be across the track after t more seconds.
float SentinelX(const Sentinel& sentinel, float t)
{
    if (!sentinel.waveEnabled) return sentinel.position.x;
    const double turns = (sentinel.clock + t) * (1.0 / sentinel.period) + sentinel.phase;
    return static_cast<float>(sentinel.centreX + sentinel.amplitude * std::sin(2.0 * std::numbers::pi * turns));
}

}  // namespace

void Autopilot::Apply(Input& input)
{
    FrameInput frame;
    const PlayerShip& ship = game_.ship;
    if (ship.controlsEnabled) {
        const Vec4 at = ship.WorldPosition();
        GatherThreats(at);
        const Vec4 wanted = ChooseOffset(TargetX(at));
        const float step = kMaxSpeed * std::max(game_.LastStep(), 1.0f / 60.0f);
        const float dx = std::clamp(wanted.x - ship.offset.x, -step, step);
        const float dz = std::clamp(wanted.z - ship.offset.z, -step, step);
        // The ship moves half a unit per count: x follows lX, z goes against lY.
        frame.dx = static_cast<int32_t>(std::lround(dx / PlayerShip::kMouseScale));
        frame.dy = static_cast<int32_t>(std::lround(-dz / PlayerShip::kMouseScale));
        frame.button = true;
    }
    frame.WriteTo(input);
}

void Autopilot::GatherThreats(const Vec4& at)
{
    const PlayerShip& ship = game_.ship;
    const Vec4 scroll(0.0f, 0.0f, ship.advancing ? PlayerShip::kScrollSpeed : 0.0f);
    threats_.clear();
    ForEachNode(game_.root, [&](SceneNode* node) {
        if (node->radius == 0.0f || node == &ship) return;
        Vec4 velocity;
        const Sentinel* swinging = nullptr;
        if (auto* shot = dynamic_cast<EnemyShot*>(node)) {
            if (shot->exploding) return;
            velocity = shot->direction * EnemyShot::kSpeed;
        } else if (auto* sentinel = dynamic_cast<Sentinel*>(node)) {
            velocity = Vec4(0.0f, 0.0f, -sentinel->movespeed);
            swinging = sentinel;
        } else if (auto* defender = dynamic_cast<DefenderN1*>(node)) {
            velocity = Vec4(0.0f, 0.0f, -defender->speed);
        } else if (dynamic_cast<Enemy*>(node) == nullptr) {
            return;
        }
        const Vec4 offset = node->position - at;
        if (offset.z < -40.0f || offset.z > 250.0f) return;
        // Enemies ahead go down under the ship's fire: they count only when about to ram it.
        const bool shot = swinging == nullptr && dynamic_cast<Enemy*>(node) == nullptr;
        threats_.push_back({offset, velocity - scroll, PlayerShip::kRadius + node->radius + kSafety, swinging,
                            shot ? kHorizon : kEnemyHorizon});
    });
}

Vec4 Autopilot::ChooseOffset(float preferredX) const
{
    const float limit = PlayerShip::kMaxOffsetX - PlayerShip::kRadius;
    Vec4 best = game_.ship.offset;
    float lowest = Danger(best, preferredX);
    for (float z : kOffsetsZ) {
        for (float x = -limit; x <= limit; x += kLaneStep) {
            const float danger = Danger(Vec4(x, 0.0f, z), preferredX);
            if (danger < lowest) {
                lowest = danger;
                best = Vec4(x, 0.0f, z);
            }
        }
    }
    return best;
}

// How close the threats come to a ship that makes for the offset at full speed over the horizon,
// plus how far it is from where the ship would like to be.
float Autopilot::Danger(const Vec4& to, float targetX) const
{
    const Vec4& from = game_.ship.offset;
    float danger = kPreferenceWeight * (std::fabs(to.x - targetX) + std::fabs(to.z - kCruiseOffsetZ));
    for (const Threat& threat : threats_) {
        for (int i = 0; i <= kSamples; ++i) {
            const float t = kHorizon * static_cast<float>(i) / kSamples;
            if (t > threat.horizon) break;
            const float reach = kMaxSpeed * t;
            const float movedX = std::clamp(to.x - from.x, -reach, reach), movedZ = std::clamp(to.z - from.z, -reach, reach);
            const float tx = threat.swinging != nullptr ? SentinelX(*threat.swinging, t) - from.x : threat.offset.x + threat.velocity.x * t;
            const float ddx = tx - movedX, ddz = threat.offset.z + threat.velocity.z * t - movedZ;
            const float gap = std::sqrt(ddx * ddx + ddz * ddz);
            // Sooner is worse: the ship has less time to change its mind.
            if (gap < threat.clear) danger += (threat.clear - gap) * (1.5f - t);
        }
    }
    return danger;
}

float Autopilot::TargetX(const Vec4& at) const
{
    float nearest = at.z + kFireRange;
    float x = game_.ship.offset.x;
    ForEachNode(game_.root, [&](SceneNode* node) {
        auto* enemy = dynamic_cast<Enemy*>(node);
        if (enemy == nullptr || enemy->radius == 0.0f) return;
        const float ahead = node->position.z - at.z;
        if (ahead <= 0.0f || node->position.z >= nearest) return;
        nearest = node->position.z;
        // Where it will be when a shot fired now gets there.
        const auto* sentinel = dynamic_cast<const Sentinel*>(enemy);
        x = sentinel != nullptr ? SentinelX(*sentinel, ahead / PlayerShot::kSpeed) : node->position.x;
    });
    return x;
}
