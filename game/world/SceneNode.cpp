#include "game/world/SceneNode.h"

SceneNode::SceneNode() = default;

SceneNode::~SceneNode()
{
    Detach(this);
    while (firstChild != nullptr) delete firstChild;
}

void SceneNode::AddChild(SceneNode* parent, SceneNode* child)
{
    Detach(child);
    child->parent = parent;
    if (parent->firstChild == nullptr) {
        parent->firstChild = child;
        return;
    }
    SceneNode* first = parent->firstChild;
    SceneNode* last = first->prev;
    child->prev = last;
    child->next = first;
    last->next = child;
    first->prev = child;
}

void SceneNode::Detach(SceneNode* node)
{
    // The parent is forgotten as well: a detached node may outlive its old parent (the game's
    // ship and level outlive the root that ResetTree deletes), and a later AddChild must not
    // reach back into a deleted node.
    SceneNode* parent = node->parent;
    if (parent != nullptr && parent->firstChild == node)
        parent->firstChild = (node->next == node) ? nullptr : node->next;
    node->prev->next = node->next;
    node->next->prev = node->prev;
    node->next = node;
    node->prev = node;
    node->parent = nullptr;
}

bool SceneNode::HasLaterSiblings() const
{
    return parent != nullptr && parent->firstChild->prev != this;
}

// Tests a against candidate b and b's later siblings, descending into each candidate's children.
// A contact also tells a's children and a's later siblings about that candidate and the ones
// after it, so a sibling right behind a node that touches something hears of it twice in a frame.
// That extra notice is given once, without cascading further: letting it recurse again makes a
// cluster of overlapping siblings (a fan of shots fired in one frame) cost exponential time.
void SceneNode::PairTest(World* world, SceneNode* a, SceneNode* b, bool cascade)
{
    for (SceneNode* k = b;; k = k->next) {
        if (a->radius != 0.0f && k->radius != 0.0f) {
            const float d = a->position.Distance(k->position);
            if (a->radius + k->radius > d && k != a) {
                a->onCollision(world, k);
                if (cascade && a->firstChild != nullptr) PairTest(world, a->firstChild, k, false);
                if (cascade && a->HasLaterSiblings()) PairTest(world, a->next, k, false);
            }
        }
        if (k->firstChild != nullptr) PairTest(world, a, k->firstChild, cascade);
        if (!k->HasLaterSiblings()) break;
    }
}

void SceneNode::CollisionPass(World* world, SceneNode* node)
{
    // The candidates start at the root: every node is tested against the whole tree.
    SceneNode* root = node;
    while (root->parent != nullptr) root = root->parent;
    PairTest(world, node, root, true);
    node->afterCollisions(world);
    if (node->firstChild != nullptr) CollisionPass(world, node->firstChild);
    if (node->HasLaterSiblings()) CollisionPass(world, node->next);
    // Deleted on the way back, so dead nodes still had their subtree and later siblings walked.
    if (node->dead) delete node;
}

void SceneNode::UpdatePass(World* world, SceneNode* node, float dt)
{
    for (;;) {
        node->update(world, dt);
        if (node->firstChild != nullptr) UpdatePass(world, node->firstChild, dt);
        if (!node->HasLaterSiblings()) return;
        node = node->next;
    }
}

void SceneNode::DrawPass(World* world, SceneNode* node)
{
    for (;;) {
        node->draw(world);
        if (node->firstChild != nullptr) DrawPass(world, node->firstChild);
        if (!node->HasLaterSiblings()) return;
        node = node->next;
    }
}
