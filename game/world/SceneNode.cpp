#include "game/world/SceneNode.h"

#include <cmath>

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
    // Not numbered until the next own test: walks treat it as never visited.
    child->order_ = kUnnumbered;
    ++RootOf(parent)->treeChanges_;
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
    if (parent != nullptr) ++RootOf(parent)->treeChanges_;
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

namespace {

// Touching spheres do not count: the sum of the radii must exceed the distance. A gap as wide as
// the sum along one axis rules the contact out without the square root, and exactly so, since the
// distance computed in floats is never below the gap along any one axis.
inline bool Touch(const Vec4& centreA, float radiusA, const Vec4& centreB, float radiusB)
{
    const float reach = radiusA + radiusB;
    const float dx = centreB.x - centreA.x, dy = centreB.y - centreA.y, dz = centreB.z - centreA.z;
    if (std::fabs(dx) >= reach || std::fabs(dz) >= reach || std::fabs(dy) >= reach) return false;
    return reach > std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

// Tests a against candidate b and b's later siblings, descending into each candidate's children.
// A contact also tells a's children and a's later siblings about that candidate and the ones
// after it, and their contacts tell the nodes after them in turn, so a sibling behind a node that
// touches something hears of it in that node's test before its own.
//
// Walked naively, that cascade repeats the same sub-walks over and over: a cluster of overlapping
// siblings (a fan of shots fired in one frame) costs exponential time. Within one node's own test
// a repeated sub-walk only repeats notices already given, so each node keeps the range of
// candidates it has been walked over and a walk stops where that range begins: every node hears
// of its contacts in the same order as before, once per test, in polynomial time.
void SceneNode::PairTest(World* world, SceneNode* a, SceneNode* b, uint32_t ownTest)
{
    // Without a radius a node touches nothing, and nothing below this walk could either.
    if (a->radius == 0.0f || a->WalkedOver(b, ownTest)) return;
    const bool walkedBefore = a->walkedIn_ == ownTest;
    const uint32_t walkedFrom = a->walkedFrom_;
    const uint32_t walkedTo = a->walkedTo_;
    // a's sphere, read again after each of its notices, which may move or shrink it.
    float radius = a->radius;
    Vec4 centre = a->position;
    for (SceneNode* k = b;; k = k->next) {
        // The rest of this ring lies in the range a was walked over earlier in this test.
        if (walkedBefore && k->order_ != kUnnumbered && k->order_ >= walkedFrom && k->order_ < walkedTo) break;
        if (radius != 0.0f && k->radius != 0.0f && k != a && Touch(centre, radius, k->position, k->radius)) {
            a->onCollision(world, k);
            if (a->firstChild != nullptr) PairTest(world, a->firstChild, k, ownTest);
            if (a->HasLaterSiblings()) PairTest(world, a->next, k, ownTest);
            radius = a->radius;
            centre = a->position;
        }
        if (k->firstChild != nullptr) PairTest(world, a, k->firstChild, ownTest);
        if (!k->HasLaterSiblings()) break;
    }
    if (b->order_ != kUnnumbered) {
        a->walkedFrom_ = b->order_;
        a->walkedTo_ = b->WalkEnd();
        a->walkedIn_ = ownTest;
    }
}

uint32_t SceneNode::Number(SceneNode* node, uint32_t next)
{
    node->order_ = next++;
    if (SceneNode* child = node->firstChild) {
        for (;;) {
            next = Number(child, next);
            if (!child->HasLaterSiblings()) break;
            child = child->next;
        }
    }
    node->subtreeEnd_ = next;
    return next;
}

SceneNode* SceneNode::RootOf(SceneNode* node)
{
    while (node->parent != nullptr) node = node->parent;
    return node;
}

uint32_t SceneNode::WalkEnd() const
{
    return parent != nullptr ? parent->subtreeEnd_ : subtreeEnd_;
}

bool SceneNode::WalkedOver(const SceneNode* candidate, uint32_t ownTest) const
{
    return walkedIn_ == ownTest && candidate->order_ != kUnnumbered && candidate->order_ >= walkedFrom_ &&
           candidate->order_ < walkedTo_;
}

void SceneNode::CollisionPass(World* world, SceneNode* node)
{
    // The candidates start at the root: every node is tested against the whole tree. The tree is
    // numbered again when nodes came or went since its last own test.
    SceneNode* root = RootOf(node);
    if (root->numberedAt_ != root->treeChanges_) {
        Number(root, 0);
        root->numberedAt_ = root->treeChanges_;
    }
    // Serial 0 marks nodes never walked over.
    if (++root->ownTests_ == 0) ++root->ownTests_;
    PairTest(world, node, root, root->ownTests_);
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
