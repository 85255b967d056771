#include "game/shell/Autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/platform/Input.h"
#include "game/actors/Enemy.h"
#include "game/actors/EnemyShot.h"
#include "game/shell/Game.h"

namespace {

constexpr uint8_t kHeld = 0x80;

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

// How close something moving at velocity relative to the ship, now at offset from it, comes within
// the horizon (seconds), and when.
float ClosestApproach(const Vec4& offset, const Vec4& velocity, float horizon, float* when)
{
    const float speed2 = velocity.x * velocity.x + velocity.z * velocity.z;
    float t = speed2 > 0.0f ? -(offset.x * velocity.x + offset.z * velocity.z) / speed2 : 0.0f;
    t = std::clamp(t, 0.0f, horizon);
    *when = t;
    const float x = offset.x + velocity.x * t, z = offset.z + velocity.z * t;
    return std::sqrt(x * x + z * z);
}

}  // namespace

void Autopilot::Apply(Input& input)
{
    if (!input.keyboard) input.keyboard = std::make_unique<KeyboardDevice>();
    if (!input.mouse) input.mouse = std::make_unique<MouseDevice>();
    std::memset(input.keyboard->keys, 0, sizeof(input.keyboard->keys));
    input.mouse->state = DIMOUSESTATE{};
    const PlayerShip& ship = game_.ship;
    if (!ship.controlsEnabled) return;

    const float step = kMaxSpeed * std::max(game_.LastStep(), 1.0f / 60.0f);
    const Vec4 wanted = ChooseOffset();
    const float dx = std::clamp(wanted.x - ship.offset.x, -step, step);
    const float dz = std::clamp(wanted.z - ship.offset.z, -step, step);
    // The ship moves half a unit per count: x follows lX, z goes against lY.
    input.mouse->state.lX = static_cast<int32_t>(std::lround(dx / PlayerShip::kMouseScale));
    input.mouse->state.lY = static_cast<int32_t>(std::lround(-dz / PlayerShip::kMouseScale));
    input.mouse->state.rgbButtons[0] = kHeld;
}

Vec4 Autopilot::ChooseOffset() const
{
    const PlayerShip& ship = game_.ship;
    const Vec4 at = ship.WorldPosition();
    const float dodge = Dodge(at);
    float x = dodge != 0.0f ? ship.offset.x + dodge : TargetX(at);
    x = std::clamp(x, -PlayerShip::kMaxOffsetX + PlayerShip::kRadius, PlayerShip::kMaxOffsetX - PlayerShip::kRadius);
    return Vec4(x, 0.0f, kCruiseOffsetZ);
}

float Autopilot::Dodge(const Vec4& at) const
{
    const PlayerShip& ship = game_.ship;
    const Vec4 scroll(0.0f, 0.0f, ship.advancing ? PlayerShip::kScrollSpeed : 0.0f);
    float push = 0.0f;
    ForEachNode(game_.root, [&](SceneNode* node) {
        if (node->radius == 0.0f || node == &ship) return;
        Vec4 velocity;
        if (auto* shot = dynamic_cast<EnemyShot*>(node)) {
            if (shot->exploding) return;
            velocity = shot->direction * EnemyShot::kSpeed;
        } else if (dynamic_cast<Enemy*>(node) == nullptr) {
            return;
        }
        const Vec4 offset = node->position - at;
        float when = 0.0f;
        const float miss = ClosestApproach(offset, velocity - scroll, kLookAhead, &when);
        const float clear = PlayerShip::kRadius + node->radius + kSafety;
        if (miss >= clear) return;
        // Away from where it passes, harder the sooner and the closer; towards the middle when
        // it passes right through.
        const float across = offset.x + velocity.x * when;
        const float side = across != 0.0f ? (across > 0.0f ? -1.0f : 1.0f) : (at.x > 0.0f ? -1.0f : 1.0f);
        push += side * (clear - miss) / (when + 0.25f);
    });
    return push;
}

float Autopilot::TargetX(const Vec4& at) const
{
    float best = at.z + kFireRange;
    float x = at.x;
    ForEachNode(game_.root, [&](SceneNode* node) {
        auto* enemy = dynamic_cast<Enemy*>(node);
        if (enemy == nullptr || enemy->radius == 0.0f) return;
        const float ahead = node->position.z - at.z;
        if (ahead > 0.0f && node->position.z < best) {
            best = node->position.z;
            x = node->position.x;
        }
    });
    return x;
}
