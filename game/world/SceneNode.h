#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"

class World;

// A node of the scene tree, the one list of live objects in a level. Children form a circular
// doubly linked ring; firstChild points into it and the last child is firstChild->prev. A node is
// removed only by setting dead: the next collision pass deletes it with its subtree.
class SceneNode {
public:
    SceneNode();
    // Detaches the node from its parent's ring, then deletes every child.
    virtual ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    virtual void update(World* world, float dt) {}
    virtual void draw(World* world) {}
    // Called once per frame after this node's collision tests: death checks, culling, spawning.
    virtual void afterCollisions(World* world) {}
    // Called for each node that overlaps this one (sometimes twice in a frame for one contact).
    virtual void onCollision(World* world, SceneNode* other) {}

    // Detaches child from its current parent and appends it at the end of parent's ring.
    static void AddChild(SceneNode* parent, SceneNode* child);
    // Unlinks node from its parent's ring and makes it a ring of one without a parent.
    static void Detach(SceneNode* node);

    // The three per-frame passes, each started on the root.
    static void CollisionPass(World* world, SceneNode* node);
    static void UpdatePass(World* world, SceneNode* node, float dt);
    static void DrawPass(World* world, SceneNode* node);

    // True when the node has a parent and is not its parent's last child.
    bool HasLaterSiblings() const;

    SceneNode* parent = nullptr;
    SceneNode* firstChild = nullptr;
    SceneNode* next = this;
    SceneNode* prev = this;
    bool dead = false;
    Vec4 position;
    float radius = 0.0f;  // 0: never collides

private:
    static constexpr uint32_t kUnnumbered = 0xFFFFFFFFu;

    static void PairTest(World* world, SceneNode* a, SceneNode* b, uint32_t ownTest);
    // Numbers the subtree in the order walks visit candidates; returns the next free number.
    static uint32_t Number(SceneNode* node, uint32_t next);
    static SceneNode* RootOf(SceneNode* node);
    // The end of the numbers a walk that starts at this node covers: its parent's subtree.
    uint32_t WalkEnd() const;
    bool WalkedOver(const SceneNode* candidate, uint32_t ownTest) const;

    // Collision scratch of every node: its number in the order walks visit candidates, the end of
    // its subtree's numbers, and the numbers [walkedFrom_, walkedTo_) it has been walked over in
    // the own test of serial walkedIn_.
    uint32_t order_ = kUnnumbered;
    uint32_t subtreeEnd_ = kUnnumbered;
    uint32_t walkedFrom_ = 0;
    uint32_t walkedTo_ = 0;
    uint32_t walkedIn_ = 0;
    // Of a root: changes to its tree, the change it was last numbered at, and own tests run.
    uint32_t treeChanges_ = 0;
    uint32_t numberedAt_ = kUnnumbered;
    uint32_t ownTests_ = 0;
};
