#include "engine/unrarlib/AudioPredictor.h"

void AudioPredictor::AdaptWeights()
{
    // Written to become conditional moves: which sum is smallest is anybody's guess.
    int smallest = 0;
    int32_t least = dif[0];
    for (int i = 1; i < 11; ++i) {
        const bool less = dif[i] < least;
        least = less ? dif[i] : least;
        smallest = less ? i : smallest;
    }
    for (int32_t& sum : dif) sum = 0;
    if (smallest == 0) return;
    int32_t& weight = k[(smallest - 1) / 2];
    const bool lower = (smallest % 2) == 1;
    if (lower) {
        if (weight >= -16) --weight;
    } else if (weight < 16) {
        ++weight;
    }
}
