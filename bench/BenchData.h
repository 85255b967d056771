#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Generated stand-ins for the game's data, the same on every run: text with a skewed vocabulary,
// vertex records of smooth meshes, and 16-bit stereo sound.
namespace bench_data {

using Bytes = std::vector<uint8_t>;

inline Bytes Text(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    static const char* const kSyllables[] = {"ka", "lor", "ze", "mi", "th", "an", "en", "or", "ship", "gl",
                                             "ow", "de", "fen", "ser", "ti", "nel", "bo", "ss", "le", "vel"};
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) {
        std::string word;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) word += kSyllables[random() % 20];
        words.push_back(word);
    }
    Bytes text;
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    while (text.size() < size) {
        // A Zipf-like pick: frequent words far more often than rare ones.
        const size_t index = static_cast<size_t>(std::pow(uniform(random), 3.0) * words.size());
        const std::string& word = words[index];
        text.insert(text.end(), word.begin(), word.end());
        const uint32_t r = random() % 16;
        text.push_back(r == 0 ? '\n' : r == 1 ? ',' : ' ');
    }
    text.resize(size);
    return text;
}

inline void PutFloat(Bytes& out, float value)
{
    uint32_t bits;
    static_assert(sizeof(bits) == sizeof(value));
    __builtin_memcpy(&bits, &value, sizeof(bits));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

inline Bytes Mesh(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out;
    for (int v = 0; out.size() < size; ++v) {
        const float u = static_cast<float>(v % 256) / 16.0f;
        const float w = static_cast<float>(v / 256) / 16.0f;
        const float h = std::round(std::sin(u) * std::cos(w) * 64.0f) / 8.0f;
        for (float value : {u, h, w, 0.0f, 1.0f, 0.0f, u / 16.0f, w / 16.0f}) PutFloat(out, value);
        if (random() % 64 == 0) out.push_back(static_cast<uint8_t>(random()));
    }
    out.resize(size);
    return out;
}

inline Bytes Sound(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out;
    double phase[2] = {0, 0};
    for (size_t frame = 0; out.size() < size; ++frame) {
        const double pitch = 0.02 + 0.01 * std::sin(static_cast<double>(frame) / 20000.0);
        for (int channel = 0; channel < 2; ++channel) {
            phase[channel] += pitch * (1.0 + 0.1 * channel);
            const double value = 12000 * std::sin(phase[channel]) + 4000 * std::sin(phase[channel] * 3.1) +
                                 static_cast<double>(static_cast<int>(random() % 201) - 100);
            const int16_t sample = static_cast<int16_t>(value);
            out.push_back(static_cast<uint8_t>(sample & 0xFF));
            out.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
        }
    }
    out.resize(size);
    return out;
}

}  // namespace bench_data
