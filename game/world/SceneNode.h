#pragma once

#include "engine/scene/Vec4.h"

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
    static void PairTest(World* world, SceneNode* a, SceneNode* b, bool cascade);
};
