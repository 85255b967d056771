#pragma once

#include <cstdint>
#include <cstdlib>

// The sample predictor of one audio channel. Audio mode codes each byte as its distance from a
// prediction made of the last bytes and deltas; the weights of that prediction adapt every 32 bytes
// to whichever of them would have erred least. The channel delta is shared by all channels.
struct AudioPredictor {
    int32_t k[5] = {};
    int32_t d[4] = {};
    int32_t lastDelta = 0;
    int32_t lastByte = 0;
    int32_t dif[11] = {};
    uint32_t byteCount = 0;

    // Counts the byte about to be coded and moves the delta history on; the prediction that
    // follows uses the moved history.
    void Advance()
    {
        ++byteCount;
        d[3] = d[2];
        d[2] = d[1];
        d[1] = lastDelta - d[0];
        d[0] = lastDelta;
    }

    uint8_t Predict(int32_t channelDelta) const
    {
        const int32_t sum = 8 * lastByte + k[0] * d[0] + k[1] * d[1] + k[2] * d[2] + k[3] * d[3] +
                            k[4] * channelDelta;
        return static_cast<uint8_t>((sum >> 3) & 0xFF);
    }

    // Learns from one coded byte: delta is what the stream held, output the byte it stood for.
    // Each error sum is how far off the prediction would have been with one weight a step away.
    void Update(uint8_t delta, uint8_t output, int32_t& channelDelta)
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

        if ((byteCount & 0x1F) == 0) AdaptWeights();
    }
    // Every 32 bytes: moves the weight whose step would have erred least, and starts the sums anew.
    void AdaptWeights();

    [[gnu::always_inline]] uint8_t Decode(uint8_t delta, int32_t& channelDelta)
    {
        Advance();
        const uint8_t output = static_cast<uint8_t>(Predict(channelDelta) - delta);
        Update(delta, output, channelDelta);
        return output;
    }

    // The delta that Decode turns back into this byte.
    uint8_t Encode(uint8_t byte, int32_t& channelDelta)
    {
        Advance();
        const uint8_t delta = static_cast<uint8_t>(Predict(channelDelta) - byte);
        Update(delta, byte, channelDelta);
        return delta;
    }
};
