#include "game/world/SceneNode.h"

#include <gtest/gtest.h>

#include "Probes.h"

namespace {

using Events = std::vector<std::string>;

TEST(SceneNode, RingAppendsAtTheEndAndDetachRelinks)
{
    Journal journal;
    SceneNode root;
    ProbeNode a(&journal, "a"), b(&journal, "b"), c(&journal, "c");
    for (ProbeNode* n : {&a, &b, &c}) SceneNode::AddChild(&root, n);
    EXPECT_EQ(root.firstChild, &a);
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(c.next, &a);
    EXPECT_EQ(a.prev, &c);
    EXPECT_FALSE(c.HasLaterSiblings());
    EXPECT_TRUE(a.HasLaterSiblings());

    SceneNode::Detach(&a);
    EXPECT_EQ(root.firstChild, &b);
    EXPECT_EQ(a.next, &a);
    EXPECT_EQ(a.prev, &a);
    EXPECT_EQ(b.prev, &c);
    EXPECT_EQ(c.next, &b);

    SceneNode::AddChild(&c, &b);  // moving a node detaches it from its old parent first
    EXPECT_EQ(root.firstChild, &c);
    EXPECT_EQ(c.firstChild, &b);
    EXPECT_EQ(b.parent, &c);
    SceneNode::Detach(&b);
    SceneNode::Detach(&c);
    EXPECT_EQ(root.firstChild, nullptr);
}

TEST(SceneNode, DeletingANodeDeletesItsSubtree)
{
    Journal journal;
    SceneNode root;
    auto* parent = new ProbeNode(&journal, "p");
    SceneNode::AddChild(&root, parent);
    SceneNode::AddChild(parent, new ProbeNode(&journal, "c1"));
    SceneNode::AddChild(parent, new ProbeNode(&journal, "c2"));
    delete parent;
    EXPECT_EQ(journal.events, (Events{"delete p", "delete c1", "delete c2"}));
    EXPECT_EQ(root.firstChild, nullptr);
}

TEST(SceneNode, DetachedNodeOutlivesItsOldParent)
{
    Journal journal;
    World world;
    ProbeNode member(&journal, "ship");
    world.Attach(&member);
    SceneNode::Detach(&member);
    world.ResetTree();  // the old root is gone; re-attaching must not reach it
    world.Attach(&member);
    EXPECT_EQ(world.root->firstChild, &member);
    SceneNode::Detach(&member);
}

TEST(ScenePasses, VisitNodeThenChildrenThenLaterSiblings)
{
    Journal journal;
    World world;
    auto* a = new ProbeNode(&journal, "a");
    auto* b = new ProbeNode(&journal, "b");
    world.Attach(a);
    world.Attach(b);
    SceneNode::AddChild(a, new ProbeNode(&journal, "a1"));
    SceneNode::AddChild(a, new ProbeNode(&journal, "a2"));
    world.Step();
    EXPECT_EQ(journal.With("after"), (Events{"after a", "after a1", "after a2", "after b"}));
    EXPECT_EQ(journal.With("update"), (Events{"update a", "update a1", "update a2", "update b"}));
    EXPECT_EQ(journal.With("draw"), (Events{"draw a", "draw a1", "draw a2", "draw b"}));
}

TEST(ScenePasses, OverlapIsStrictAndRadiusZeroNeverCollides)
{
    const struct {
        float distance, radiusA, radiusB;
        bool hit;
    } cases[] = {{10.0f, 5, 5, false}, {9.99f, 5, 5, true}, {0.0f, 5, 0, false}, {0.0f, 0, 0, false}, {3.0f, 1, 2.5f, true}};
    for (const auto& c : cases) {
        Journal journal;
        World world;
        world.Attach(new ProbeNode(&journal, "a", 0.0f, c.radiusA));
        world.Attach(new ProbeNode(&journal, "b", c.distance, c.radiusB));
        world.Step();
        const Events expected = c.hit ? Events{"hit a by b", "hit b by a"} : Events{};
        EXPECT_EQ(journal.With("hit"), expected) << "distance " << c.distance;
    }
}

TEST(ScenePasses, FollowingSiblingTouchingTheSameNodeIsToldTwice)
{
    Journal journal;
    World world;
    // a and b both touch k; a and b do not touch each other.
    world.Attach(new ProbeNode(&journal, "a", 0.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "b", 4.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "k", 2.0f, 1.5f));
    world.Step();
    EXPECT_EQ(journal.With("hit"), (Events{"hit a by k", "hit b by k", "hit b by k", "hit k by a", "hit k by b"}));
}

TEST(ScenePasses, DeadNodesGoOnTheWayBackAfterTheirLastPass)
{
    Journal journal;
    World world;
    auto* a = new ProbeNode(&journal, "a");
    auto* b = new ProbeNode(&journal, "b");
    auto* c = new ProbeNode(&journal, "c");
    for (ProbeNode* n : {a, b, c}) world.Attach(n);
    a->onUpdate = [a](World*) { a->dead = true; };
    c->onUpdate = [c](World*) { c->dead = true; };
    world.Step();
    // Marked dead in update: still drawn in the same frame.
    EXPECT_EQ(journal.With("draw"), (Events{"draw a", "draw b", "draw c"}));
    journal.events.clear();
    world.Step();
    // The next collision pass runs their hooks once more, then deletes from the last towards the first.
    EXPECT_EQ(journal.events, (Events{"after a", "after b", "after c", "delete c", "delete a", "update b", "draw b"}));
    EXPECT_EQ(world.root->firstChild, b);
}

TEST(ScenePasses, NodesAttachedDuringAPassAreReachedInThatPass)
{
    Journal journal;
    World world;
    auto* shooter = new ProbeNode(&journal, "shooter");
    auto* spawner = new ProbeNode(&journal, "spawner");
    world.Attach(shooter);
    world.Attach(spawner);
    bool fired = false, spawned = false;
    shooter->onUpdate = [&](World* w) {
        if (!fired) w->Attach(new ProbeNode(&journal, "shot"));
        fired = true;
    };
    spawner->onAfter = [&](World* w) {
        if (!spawned) w->Attach(new ProbeNode(&journal, "enemy"));
        spawned = true;
    };
    world.Step();
    EXPECT_EQ(journal.With("after"), (Events{"after shooter", "after spawner", "after enemy"}));
    EXPECT_EQ(journal.With("update"), (Events{"update shooter", "update spawner", "update enemy", "update shot"}));
    EXPECT_EQ(journal.With("draw"), (Events{"draw shooter", "draw spawner", "draw enemy", "draw shot"}));
}

TEST(ScenePasses, ResetTreeDeletesEverythingAttached)
{
    Journal journal;
    World world;
    world.Attach(new ProbeNode(&journal, "a"));
    world.Attach(new ProbeNode(&journal, "b"));
    world.ResetTree();
    EXPECT_EQ(journal.events, (Events{"delete a", "delete b"}));
    EXPECT_EQ(world.root->firstChild, nullptr);
}

TEST(ScenePasses, LongSiblingRingsAreWalkedWithoutTrouble)
{
    Journal journal;
    World world;
    for (int i = 0; i < 2000; ++i) world.Attach(new ProbeNode(&journal, std::to_string(i), static_cast<float>(i) * 10.0f, 1.0f));
    world.Step();
    EXPECT_EQ(journal.With("update").size(), 2000u);
    EXPECT_TRUE(journal.With("hit").empty());
}

}  // namespace

namespace {

TEST(ScenePasses, ExtraNoticeReachesTheNextSiblingOnceWithoutCascading)
{
    Journal journal;
    World world;
    // a, b and c each touch k but not each other: b and c hear of k twice, never three times.
    world.Attach(new ProbeNode(&journal, "a", 0.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "b", 4.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "c", 2.0f, 0.5f));
    world.Attach(new ProbeNode(&journal, "k", 2.0f, 1.5f));
    world.Step();
    size_t bByK = 0;
    for (const std::string& e : journal.With("hit b by k")) bByK += (e == "hit b by k");
    EXPECT_EQ(bByK, 2u);
}

TEST(ScenePasses, AClusterOfOverlappingSiblingsFinishesAFrame)
{
    Journal journal;
    World world;
    for (int i = 0; i < 40; ++i) world.Attach(new ProbeNode(&journal, std::to_string(i), 0.0f, 1.0f));
    world.Step();
    // Each of the 40 is told about the 39 others in its own test; the extra notices from the
    // sibling ahead stay polynomial (the cascading walk would make about 2^40 calls).
    const size_t hits = journal.With("hit").size();
    EXPECT_GE(hits, 40u * 39u);
    EXPECT_LE(hits, 40u * 40u * 40u);
}

}  // namespace
