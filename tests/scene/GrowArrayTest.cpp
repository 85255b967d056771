#include "engine/scene/GrowArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Strings own heap memory, so growth that moves them bytewise must keep them whole.
TEST(GrowArray, GrowsByTwentySlotsKeepsValuesInOrderAndClearReturnsToOneStep)
{
    GrowArray<std::string> array;
    EXPECT_EQ(array.Capacity(), 20u);
    const struct { int appends; uint32_t capacity; } steps[] = {{20, 20}, {21, 40}, {40, 40}, {41, 60}, {100, 100}, {101, 120}};
    int appended = 0;
    for (const auto& step : steps) {
        while (appended < step.appends) array.Append(std::string(40, static_cast<char>('a' + appended++ % 26)));
        EXPECT_EQ(array.Capacity(), step.capacity) << "after " << step.appends << " appends";
        EXPECT_EQ(array.Count(), static_cast<uint32_t>(step.appends));
    }
    for (uint32_t i = 0; i < array.Count(); ++i) ASSERT_EQ(array.At(i), std::string(40, static_cast<char>('a' + i % 26)));
    // Clear destroys every string once (the sanitizers see a leak or a double free) and shrinks to one step.
    array.Clear();
    EXPECT_EQ(array.Count(), 0u);
    EXPECT_EQ(array.Capacity(), 20u);
    array.Append("again");
    EXPECT_EQ(array.At(0), "again");
}

struct Tracked {
    int id;
    std::vector<int>* log;
    ~Tracked()
    {
        if (log != nullptr) log->push_back(id);
    }
};

TEST(GrowArray, ClearDestroysInIndexOrder)
{
    std::vector<int> destroyed, expected;
    GrowArray<Tracked> array;
    for (int i = 0; i < 45; ++i) array.Append(Tracked{i, nullptr});
    for (uint32_t i = 0; i < array.Count(); ++i) array.At(i).log = &destroyed;
    for (int i = 0; i < 45; ++i) expected.push_back(i);
    array.Clear();
    EXPECT_EQ(destroyed, expected);
}

TEST(GrowArray, RemoveTakesOnlyTheFirstMatchAndKeepsOrderAndCapacity)
{
    std::vector<int> values(25);
    GrowArray<int*> array;
    for (int& v : values) array.Append(&v);
    array.Append(&values[1]);
    array.Remove(&values[1]);
    int absent = 0;
    array.Remove(&absent);
    ASSERT_EQ(array.Count(), 25u);
    EXPECT_EQ(array.Capacity(), 40u);
    EXPECT_EQ(array.At(0), &values[0]);
    EXPECT_EQ(array.At(1), &values[2]);
    EXPECT_EQ(array.At(23), &values[24]);
    EXPECT_EQ(array.At(24), &values[1]);
}

}  // namespace
