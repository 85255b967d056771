#include "game/world/SceneNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

TEST(SceneNode, DeletingANodeOrResettingTheTreeDeletesTheSubtree)
{
    Journal journal;
    World world;
    auto* parent = new ProbeNode(&journal, "p");
    world.Attach(parent);
    world.Attach(new ProbeNode(&journal, "b"));
    SceneNode::AddChild(parent, new ProbeNode(&journal, "c1"));
    SceneNode::AddChild(parent, new ProbeNode(&journal, "c2"));
    delete parent;
    EXPECT_EQ(journal.events, (Events{"delete p", "delete c1", "delete c2"}));
    world.ResetTree();
    EXPECT_EQ(journal.events.back(), "delete b");
    EXPECT_EQ(world.root->firstChild, nullptr);
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

TEST(ScenePasses, OverlapIsStrictAndRadiusZeroNeverCollides)
{
    // b sits at (x, 0, z); spheres that only meet, along an axis or on a diagonal, do not touch.
    const struct { float x, z, radiusA, radiusB; bool hit; } cases[] = {
        {10.0f, 0, 5, 5, false}, {9.99f, 0, 5, 5, true}, {3.0f, 4.0f, 2.5f, 2.5f, false}, {3.0f, 3.99f, 2.5f, 2.5f, true},
        {0.0f, 0, 5, 0, false}, {0.0f, 0, 0, 0, false}, {3.0f, 0, 1, 2.5f, true}};
    for (const auto& c : cases) {
        Journal journal;
        World world;
        world.Attach(new ProbeNode(&journal, "a", 0.0f, c.radiusA));
        auto* b = new ProbeNode(&journal, "b", c.x, c.radiusB);
        b->position.z = c.z;
        world.Attach(b);
        world.Step();
        const Events expected = c.hit ? Events{"hit a by b", "hit b by a"} : Events{};
        EXPECT_EQ(journal.With("hit"), expected) << "b at " << c.x << ", " << c.z;
    }
}

TEST(ScenePasses, DeadNodesGoOnTheWayBackAfterTheirLastPass)
{
    Journal journal;
    World world;
    auto* a = new ProbeNode(&journal, "a", 0.0f, 1.0f);
    auto* b = new ProbeNode(&journal, "b");
    auto* c = new ProbeNode(&journal, "c", 1.0f, 1.0f);
    for (ProbeNode* n : {a, b, c}) world.Attach(n);
    a->onUpdate = [a](World*) { a->dead = true; };
    c->onUpdate = [c](World*) { c->dead = true; };
    world.Step();
    // Marked dead in update: still drawn in the same frame.
    EXPECT_EQ(journal.With("draw"), (Events{"draw a", "draw b", "draw c"}));
    journal.events.clear();
    world.Step();
    // The next collision pass runs their tests and hooks once more, then deletes from the last
    // towards the first.
    EXPECT_EQ(journal.events, (Events{"hit a by c", "after a", "after b", "hit c by a", "after c", "delete c", "delete a",
                                      "update b", "draw b"}));
    EXPECT_EQ(world.root->firstChild, b);
}

// Each pass visits a node, then its children, then its later siblings.
TEST(ScenePasses, VisitNodeThenChildrenThenLaterSiblingsAndReachNodesAttachedDuringThePass)
{
    Journal journal;
    World world;
    auto* shooter = new ProbeNode(&journal, "shooter");
    auto* spawner = new ProbeNode(&journal, "spawner");
    world.Attach(shooter);
    world.Attach(spawner);
    SceneNode::AddChild(shooter, new ProbeNode(&journal, "gun"));
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
    EXPECT_EQ(journal.With("after"), (Events{"after shooter", "after gun", "after spawner", "after enemy"}));
    EXPECT_EQ(journal.With("update"), (Events{"update shooter", "update gun", "update spawner", "update enemy", "update shot"}));
    EXPECT_EQ(journal.With("draw"), (Events{"draw shooter", "draw gun", "draw spawner", "draw enemy", "draw shot"}));
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

TEST(ScenePasses, SiblingsBehindANodeHearOfItsContactsInItsTestAndAgainInTheirOwn)
{
    Journal journal;
    World world;
    // a, b and c each touch k but not each other: a's contact tells b, b's tells c, and each then
    // hears of k in its own test as well.
    world.Attach(new ProbeNode(&journal, "a", 0.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "b", 4.0f, 1.0f));
    world.Attach(new ProbeNode(&journal, "c", 2.0f, 0.5f));
    world.Attach(new ProbeNode(&journal, "k", 2.0f, 1.5f));
    world.Step();
    EXPECT_EQ(journal.With("hit"), (Events{"hit a by k", "hit b by k", "hit c by k", "hit b by k", "hit c by k",
                                           "hit c by k", "hit k by a", "hit k by b", "hit k by c"}));
}

// The pair test as first designed, cascading without limit: exponential, but the reference for
// the order in which nodes hear of their contacts.
void DesignedPairTest(SceneNode* a, SceneNode* b, Events* notices)
{
    for (SceneNode* k = b;; k = k->next) {
        if (a->radius != 0.0f && k->radius != 0.0f && a->radius + k->radius > a->position.Distance(k->position) &&
            k != a) {
            notices->push_back("hit " + static_cast<ProbeNode*>(a)->Name() + " by " + static_cast<ProbeNode*>(k)->Name());
            if (a->firstChild != nullptr) DesignedPairTest(a->firstChild, k, notices);
            if (a->HasLaterSiblings()) DesignedPairTest(a->next, k, notices);
        }
        if (k->firstChild != nullptr) DesignedPairTest(a, k->firstChild, notices);
        if (!k->HasLaterSiblings()) break;
    }
}

void PreOrder(SceneNode* node, std::vector<SceneNode*>* order)
{
    for (;;) {
        order->push_back(node);
        if (node->firstChild != nullptr) PreOrder(node->firstChild, order);
        if (!node->HasLaterSiblings()) return;
        node = node->next;
    }
}

Events WithoutRepeats(const Events& events)
{
    Events kept;
    for (const std::string& e : events)
        if (std::find(kept.begin(), kept.end(), e) == kept.end()) kept.push_back(e);
    return kept;
}

TEST(ScenePasses, NoticesComeInTheDesignedOrderOncePerOwnTestOnRandomTrees)
{
    std::mt19937 random(1234);
    for (int trial = 0; trial < 300; ++trial) {
        Journal journal;
        World world;
        std::vector<ProbeNode*> nodes;
        const int count = 3 + static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            auto* node = new ProbeNode(&journal, std::to_string(i), static_cast<float>(random() % 10),
                                       static_cast<float>(random() % 4));
            // Mostly flat, as a level is; now and then a child of an earlier node.
            SceneNode* parent = (i > 0 && random() % 4 == 0) ? nodes[random() % i] : world.root;
            SceneNode::AddChild(parent, node);
            nodes.push_back(node);
        }
        std::vector<SceneNode*> order;
        PreOrder(world.root, &order);
        Events expected;
        for (SceneNode* node : order) {
            Events notices;
            DesignedPairTest(node, world.root, &notices);
            for (const std::string& e : WithoutRepeats(notices)) expected.push_back(e);
            if (node != world.root) expected.push_back("after " + static_cast<ProbeNode*>(node)->Name());
        }
        world.Step();
        Events actual, segment;
        for (const std::string& e : journal.events) {
            if (e.rfind("hit ", 0) == 0) segment.push_back(e);
            if (e.rfind("after ", 0) != 0) continue;
            for (const std::string& kept : WithoutRepeats(segment)) actual.push_back(kept);
            actual.push_back(e);
            segment.clear();
        }
        ASSERT_EQ(actual, expected) << "trial " << trial;
    }
}

TEST(ScenePasses, AClusterOfOverlappingSiblingsFinishesAFrame)
{
    Journal journal;
    World world;
    for (int i = 0; i < 40; ++i) world.Attach(new ProbeNode(&journal, std::to_string(i), 0.0f, 1.0f));
    world.Step();
    // The walk as first designed would make about 2^40 calls here.
    // Node i's test (i > 0) starts at node 0 and tells node i and the 39 − i after it of all 39
    // others, once each; node 0's test tells node j of the 39 − j nodes after it.
    const size_t laterTests = 39u * (39u * 40u / 2u);
    const size_t firstTest = 39u * 40u / 2u;
    EXPECT_EQ(journal.With("hit").size(), laterTests + firstTest);
}

}  // namespace
