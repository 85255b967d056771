#include "engine/scene/GrowArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the order in which elements are destroyed.
struct Tracked {
    static std::vector<int>* destroyed;
    int id;
    explicit Tracked(int i) : id(i) {}
    Tracked(const Tracked& o) : id(o.id) {}
    ~Tracked()
    {
        if (destroyed != nullptr) destroyed->push_back(id);
    }
};
std::vector<int>* Tracked::destroyed = nullptr;

TEST(GrowArray, NewArrayOwnsTwentyEmptySlots)
{
    GrowArray<int> array;
    EXPECT_EQ(array.Count(), 0u);
    EXPECT_EQ(array.Capacity(), 20u);
    EXPECT_NE(array.begin(), nullptr);
}

TEST(GrowArray, GrowsByTwentySlotsAndKeepsValuesInOrder)
{
    GrowArray<int> array;
    const struct {
        int appends;
        uint32_t capacity;
    } steps[] = {{20, 20}, {21, 40}, {40, 40}, {41, 60}, {100, 100}, {101, 120}};
    int appended = 0;
    for (const auto& step : steps) {
        while (appended < step.appends) array.Append(appended++ * 3);
        EXPECT_EQ(array.Capacity(), step.capacity) << "after " << step.appends << " appends";
        EXPECT_EQ(array.Count(), static_cast<uint32_t>(step.appends));
    }
    for (uint32_t i = 0; i < array.Count(); ++i) ASSERT_EQ(array.At(i), static_cast<int>(i) * 3);
}

TEST(GrowArray, AppendReturnsTheStoredCopy)
{
    GrowArray<std::string> array;
    std::string& stored = array.Append("first");
    stored += " changed";
    EXPECT_EQ(array.At(0), "first changed");
}

TEST(GrowArray, ElementsOwningHeapMemorySurviveBytewiseGrowth)
{
    GrowArray<std::string> array;
    for (int i = 0; i < 65; ++i) array.Append(std::string(40, static_cast<char>('a' + i % 26)));
    for (int i = 0; i < 65; ++i) ASSERT_EQ(array.At(i), std::string(40, static_cast<char>('a' + i % 26)));
}

TEST(GrowArray, ClearDestroysInIndexOrderAndReturnsToOneStep)
{
    std::vector<int> destroyed;
    {
        GrowArray<Tracked> array;
        for (int i = 0; i < 45; ++i) array.Append(Tracked(i));
        Tracked::destroyed = &destroyed;
        array.Clear();
        Tracked::destroyed = nullptr;
        EXPECT_EQ(array.Count(), 0u);
        EXPECT_EQ(array.Capacity(), 20u);
    }
    ASSERT_EQ(destroyed.size(), 45u);
    for (int i = 0; i < 45; ++i) EXPECT_EQ(destroyed[i], i);
}

TEST(GrowArray, DestructionDestroysEveryElementInOrder)
{
    std::vector<int> destroyed;
    {
        GrowArray<Tracked> array;
        for (int i = 0; i < 3; ++i) array.Append(Tracked(i));
        Tracked::destroyed = &destroyed;
    }
    Tracked::destroyed = nullptr;
    EXPECT_EQ(destroyed, (std::vector<int>{0, 1, 2}));
}

TEST(GrowArray, ClearOnAnEmptyArrayStillLeavesTwentySlots)
{
    GrowArray<int> array;
    for (int i = 0; i < 30; ++i) array.Append(i);
    array.Clear();
    array.Clear();
    EXPECT_EQ(array.Capacity(), 20u);
    EXPECT_EQ(array.Count(), 0u);
    array.Append(7);
    EXPECT_EQ(array.At(0), 7);
}

TEST(GrowArray, RemoveTakesOnlyTheFirstMatchAndKeepsOrder)
{
    int a = 0, b = 0, c = 0, absent = 0;
    GrowArray<int*> array;
    for (int* p : {&a, &b, &c, &b}) array.Append(p);
    array.Remove(&b);
    ASSERT_EQ(array.Count(), 3u);
    EXPECT_EQ(array.At(0), &a);
    EXPECT_EQ(array.At(1), &c);
    EXPECT_EQ(array.At(2), &b);
    array.Remove(&absent);
    EXPECT_EQ(array.Count(), 3u);
    EXPECT_EQ(array.Capacity(), 20u);
}

TEST(GrowArray, RemoveAfterGrowthKeepsCapacity)
{
    std::vector<int> values(25);
    GrowArray<int*> array;
    for (int& v : values) array.Append(&v);
    array.Remove(&values[0]);
    EXPECT_EQ(array.Count(), 24u);
    EXPECT_EQ(array.Capacity(), 40u);
    EXPECT_EQ(array.At(0), &values[1]);
    EXPECT_EQ(array.At(23), &values[24]);
}

}  // namespace
