#include "tools/sound/ModuleBuilder.h"

#include <algorithm>

namespace {

constexpr int kSpeedCommand = 'A' - 'A' + 1;
constexpr int kJumpCommand = 'B' - 'A' + 1;
constexpr int kTempoCommand = 'T' - 'A' + 1;

ItPattern Grid(const ScorePattern& pattern, int channels)
{
    ItPattern grid(pattern.rows, channels);
    for (const auto& [channel, column] : pattern.columns) {
        for (size_t row = 0; row < column.size(); ++row) grid.At(static_cast<int>(row), channel) = column[row];
    }
    return grid;
}

// Puts the command in the last channel whose cell on the row has none; false when all have one.
bool AddCommand(ItPattern& grid, int row, int command, int parameter)
{
    for (int channel = grid.channels - 1; channel >= 0; --channel) {
        ItCell& cell = grid.At(row, channel);
        if (cell.command != 0) continue;
        cell.command = command;
        cell.parameter = parameter;
        return true;
    }
    return false;
}

int StorePattern(std::vector<ItPattern>& patterns, ItPattern grid)
{
    const auto same = std::find(patterns.begin(), patterns.end(), grid);
    if (same != patterns.end()) return static_cast<int>(same - patterns.begin());
    patterns.push_back(std::move(grid));
    return static_cast<int>(patterns.size()) - 1;
}

bool LayPiece(const Score& score, const ScorePiece& piece, ItModule& module, std::string* error)
{
    const int count = static_cast<int>(piece.patterns.size());
    const size_t runOrders = static_cast<size_t>(piece.RunEnd()) + 1;
    if (module.orders.size() < runOrders) module.orders.resize(runOrders, ItModule::kSkipOrder);
    for (int k = 0; k < count; ++k) {
        const ScorePattern& source = score.patterns[static_cast<size_t>(piece.patterns[static_cast<size_t>(k)])];
        ItPattern grid = Grid(source, module.channels);
        bool room = true;
        if (k == 0) room = AddCommand(grid, 0, kSpeedCommand, piece.speed) && AddCommand(grid, 0, kTempoCommand, piece.tempo);
        if (k == count - 1) room = room && AddCommand(grid, grid.rows - 1, kJumpCommand, piece.loopOrder);
        if (!room) {
            *error = piece.where + ": pattern '" + source.name + "' has no channel free of commands on the row where piece '" +
                     piece.name + "' " + (k == 0 ? "sets its speed and tempo" : "jumps back");
            return false;
        }
        const int stored = StorePattern(module.patterns, std::move(grid));
        if (stored >= ItModule::kMaxPatterns) {
            *error = piece.where + ": the module needs more than 200 patterns";
            return false;
        }
        module.orders[static_cast<size_t>(piece.firstOrder + k)] = static_cast<uint8_t>(stored);
    }
    return true;
}

}  // namespace

ItSample BuildSample(const ScoreSample& entry)
{
    Sound sound = entry.voice->make(entry.settings);
    sound.Downsample(Sound::kSampleRate / entry.rate);
    ItSample sample;
    sample.name = entry.name;
    sample.pcm = sound.Pcm16();
    sample.c5Speed = sound.C5Speed();
    sample.defaultVolume = entry.volume;
    sample.loop = sound.loop == Sound::Loop::Forever;
    sample.sustainLoop = sound.loop == Sound::Loop::Sustain;
    const uint32_t begin = static_cast<uint32_t>(sound.loopBegin);
    const uint32_t end = static_cast<uint32_t>(sound.loopEnd);
    if (sample.loop) {
        sample.loopBegin = begin;
        sample.loopEnd = end;
    }
    if (sample.sustainLoop) {
        sample.sustainBegin = begin;
        sample.sustainEnd = end;
    }
    sample.vibratoDepth = entry.vibratoDepth;
    sample.vibratoSpeed = entry.vibratoSpeed;
    sample.vibratoRate = entry.vibratoRise;
    return sample;
}

bool BuildModule(const Score& score, ItModule* out, std::string* error)
{
    ItModule module;
    module.name = score.song;
    module.channels = static_cast<int>(score.channels.size());
    if (module.channels == 0 || score.pieces.empty()) {
        *error = "a score needs at least one channel and one piece";
        return false;
    }
    for (const ScoreChannel& channel : score.channels) {
        module.channelPan.push_back(channel.pan);
        module.channelVolume.push_back(channel.volume);
    }
    module.initialSpeed = score.speed;
    module.initialTempo = score.tempo;
    module.globalVolume = score.globalVolume;
    module.mixVolume = score.mixVolume;
    for (const ScoreSample& sample : score.samples) module.samples.push_back(BuildSample(sample));
    std::vector<const ScorePiece*> pieces;
    for (const ScorePiece& piece : score.pieces) pieces.push_back(&piece);
    std::sort(pieces.begin(), pieces.end(), [](const ScorePiece* a, const ScorePiece* b) { return a->firstOrder < b->firstOrder; });
    for (const ScorePiece* piece : pieces) {
        if (!LayPiece(score, *piece, module, error)) return false;
    }
    *out = std::move(module);
    return true;
}
