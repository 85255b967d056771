#include "engine/unrarlib/AudioPredictor.h"

#include <cstdlib>

namespace {

void AdaptWeights(AudioPredictor& p)
{
    int smallest = 0;
    for (int i = 1; i < 11; ++i) {
        if (p.dif[i] < p.dif[smallest]) smallest = i;
    }
    for (int32_t& dif : p.dif) dif = 0;
    if (smallest == 0) return;
    int32_t& weight = p.k[(smallest - 1) / 2];
    const bool lower = (smallest % 2) == 1;
    if (lower) {
        if (weight >= -16) --weight;
    } else if (weight < 16) {
        ++weight;
    }
}

}  // namespace

void AudioPredictor::Update(uint8_t delta, uint8_t output, int32_t& channelDelta)
{
    const int32_t scaled = static_cast<int32_t>(static_cast<int8_t>(delta)) * 8;
    dif[0] += std::abs(scaled);
    dif[1] += std::abs(scaled - d[0]);
    dif[2] += std::abs(scaled + d[0]);
    dif[3] += std::abs(scaled - d[1]);
    dif[4] += std::abs(scaled + d[1]);
    dif[5] += std::abs(scaled - d[2]);
    dif[6] += std::abs(scaled + d[2]);
    dif[7] += std::abs(scaled - d[3]);
    dif[8] += std::abs(scaled + d[3]);
    dif[9] += std::abs(scaled - channelDelta);
    dif[10] += std::abs(scaled + channelDelta);

    lastDelta = channelDelta = static_cast<int8_t>(output - lastByte);
    lastByte = output;

    if ((byteCount & 0x1F) == 0) AdaptWeights(*this);
}
