// Rules of the format that a round trip through our own writer cannot check, since the writer
// shares them with the reader: their boundaries are checked here on their own.
#include <gtest/gtest.h>

#include "engine/unrarlib/AudioPredictor.h"
#include "engine/unrarlib/RarFormat.h"

TEST(RarFormatRules, FarMatchesAndRepeatsGrowAtTheirDistanceThresholds)
{
    const struct { uint32_t distance, matchBonus, repeatBonus; } rows[] = {
        {0x100, 0, 0}, {0x101, 0, 1}, {0x1FFF, 0, 1}, {0x2000, 1, 2}, {0x3FFFF, 1, 2}, {0x40000, 2, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.distance);
        EXPECT_EQ(rar::MatchLengthBonus(row.distance), row.matchBonus);
        EXPECT_EQ(rar::RepeatLengthBonus(row.distance), row.repeatBonus);
    }
}

// Each adaptation moves the weight whose error sum is smallest by one step, down to -17 and up to 16.
TEST(RarFormatRules, AudioWeightsStopAtTheirLimits)
{
    const struct { int sum, start, after; } rows[] = {{1, -15, -16}, {1, -16, -17}, {1, -17, -17}, {2, 15, 16}, {2, 16, 16}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.start);
        AudioPredictor predictor;
        predictor.k[0] = row.start;
        for (int32_t& sum : predictor.dif) sum = 100;
        predictor.dif[row.sum] = 1;
        predictor.AdaptWeights();
        EXPECT_EQ(predictor.k[0], row.after);
        EXPECT_EQ(predictor.dif[row.sum], 0) << "the sums start anew";
    }
}
