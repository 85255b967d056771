#include "tools/sound/ItWriter.h"

#include <algorithm>

#include "tools/LittleEndian.h"

namespace {

constexpr size_t kSampleHeaderBytes = 0x50;
constexpr uint16_t kTrackerVersion = 0x0214;
constexpr uint16_t kFlagStereo = 0x01;
constexpr uint16_t kFlagLinearSlides = 0x08;
constexpr uint8_t kEndOfSong = 255;
constexpr int kPanSeparation = 128;
constexpr int kChannelOff = 128;  // added to a channel's pan byte
constexpr int kCentre = 32;

constexpr uint8_t kSampleHasData = 0x01;
constexpr uint8_t kSample16Bit = 0x02;
constexpr uint8_t kSampleLoop = 0x10;
constexpr uint8_t kSampleSustainLoop = 0x20;
constexpr uint8_t kSampleSigned = 0x01;

constexpr uint8_t kMaskNote = 0x01;
constexpr uint8_t kMaskSample = 0x02;
constexpr uint8_t kMaskVolume = 0x04;
constexpr uint8_t kMaskCommand = 0x08;
constexpr uint8_t kNewMask = 0x80;  // on the channel byte: a mask byte follows

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width)
{
    for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void SetU32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

bool Fail(std::string* error, const std::string& reason)
{
    if (error != nullptr) *error = reason;
    return false;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool CellValid(const ItCell& cell, int sampleCount)
{
    const bool noteValid = cell.note == ItCell::kNoNote || InRange(cell.note, 0, 119) || cell.note == ItCell::kNoteOff ||
                           cell.note == ItCell::kNoteCut;
    return noteValid && InRange(cell.sample, 0, sampleCount) &&
           (cell.volume == ItCell::kNoVolume || InRange(cell.volume, 0, 64)) && InRange(cell.command, 0, 26) &&
           InRange(cell.parameter, 0, 255);
}

bool CheckPatterns(const ItModule& module, std::string* error)
{
    if (module.patterns.size() > ItModule::kMaxPatterns) return Fail(error, "too many patterns");
    const int sampleCount = static_cast<int>(module.samples.size());
    for (size_t p = 0; p < module.patterns.size(); ++p) {
        const ItPattern& pattern = module.patterns[p];
        const std::string where = "pattern " + std::to_string(p);
        if (!InRange(pattern.rows, ItModule::kMinRows, ItModule::kMaxRows)) return Fail(error, where + ": rows out of range");
        if (pattern.channels != module.channels ||
            pattern.cells.size() != static_cast<size_t>(pattern.rows) * static_cast<size_t>(pattern.channels)) {
            return Fail(error, where + ": cells do not match rows × channels");
        }
        for (const ItCell& cell : pattern.cells) {
            if (!CellValid(cell, sampleCount)) return Fail(error, where + ": a cell holds a value out of range");
        }
    }
    return true;
}

bool CheckSamples(const ItModule& module, std::string* error)
{
    if (module.samples.size() > ItModule::kMaxSamples) return Fail(error, "too many samples");
    for (const ItSample& sample : module.samples) {
        const uint32_t length = static_cast<uint32_t>(sample.pcm.size());
        const std::string where = "sample '" + sample.name + "'";
        if (sample.pcm.empty() || sample.c5Speed <= 0) return Fail(error, where + ": empty or without a rate");
        if (sample.loop && !(sample.loopBegin < sample.loopEnd && sample.loopEnd <= length)) {
            return Fail(error, where + ": loop outside the sample");
        }
        if (sample.sustainLoop && !(sample.sustainBegin < sample.sustainEnd && sample.sustainEnd <= length)) {
            return Fail(error, where + ": sustain loop outside the sample");
        }
        if (!InRange(sample.defaultVolume, 0, 64) || !InRange(sample.globalVolume, 0, 64)) {
            return Fail(error, where + ": volume out of range");
        }
    }
    return true;
}

bool Check(const ItModule& module, std::string* error)
{
    if (!InRange(module.channels, 1, ItModule::kMaxChannels)) return Fail(error, "channel count out of range");
    if (module.channelPan.size() != static_cast<size_t>(module.channels) ||
        module.channelVolume.size() != static_cast<size_t>(module.channels)) {
        return Fail(error, "pan and volume needed for every channel");
    }
    if (module.orders.size() > ItModule::kMaxOrders) return Fail(error, "too many orders");
    for (uint8_t order : module.orders) {
        if (order != ItModule::kSkipOrder && order >= module.patterns.size()) {
            return Fail(error, "the order list names pattern " + std::to_string(order) + ", which does not exist");
        }
    }
    if (!InRange(module.initialSpeed, 1, 255) || !InRange(module.initialTempo, 32, 255) ||
        !InRange(module.globalVolume, 0, 128) || !InRange(module.mixVolume, 0, 128)) {
        return Fail(error, "speed, tempo or volume out of range");
    }
    return CheckPatterns(module, error) && CheckSamples(module, error);
}

void PutHeader(const ItModule& module, std::vector<uint8_t>& out)
{
    PutText(out, "IMPM", 4);
    PutText(out, module.name, 26);
    out.push_back(4);   // row highlight: a beat
    out.push_back(16);  // a bar
    PutU16(out, static_cast<uint32_t>(module.orders.size() + 1));
    PutU16(out, 0);  // no instruments: sample mode
    PutU16(out, static_cast<uint32_t>(module.samples.size()));
    PutU16(out, static_cast<uint32_t>(module.patterns.size()));
    PutU16(out, kTrackerVersion);
    PutU16(out, kTrackerVersion);
    PutU16(out, kFlagStereo | kFlagLinearSlides);
    PutU16(out, 0);  // no message
    out.push_back(static_cast<uint8_t>(module.globalVolume));
    out.push_back(static_cast<uint8_t>(module.mixVolume));
    out.push_back(static_cast<uint8_t>(module.initialSpeed));
    out.push_back(static_cast<uint8_t>(module.initialTempo));
    out.push_back(kPanSeparation);
    out.push_back(0);  // pitch wheel depth
    PutU16(out, 0);    // message length
    PutU32(out, 0);    // message offset
    PutU32(out, 0);    // reserved
    for (int c = 0; c < ItModule::kMaxChannels; ++c) {
        const bool used = c < module.channels;
        out.push_back(static_cast<uint8_t>(used ? std::clamp(module.channelPan[static_cast<size_t>(c)], 0, 64) : kCentre + kChannelOff));
    }
    for (int c = 0; c < ItModule::kMaxChannels; ++c) {
        out.push_back(static_cast<uint8_t>(c < module.channels ? module.channelVolume[static_cast<size_t>(c)] : 64));
    }
}

void PutSampleHeader(const ItSample& sample, uint32_t dataOffset, std::vector<uint8_t>& out)
{
    PutText(out, "IMPS", 4);
    PutText(out, sample.name.substr(0, 12), 12);
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(sample.globalVolume));
    uint8_t flags = kSampleHasData | kSample16Bit;
    if (sample.loop) flags |= kSampleLoop;
    if (sample.sustainLoop) flags |= kSampleSustainLoop;
    out.push_back(flags);
    out.push_back(static_cast<uint8_t>(sample.defaultVolume));
    PutText(out, sample.name.substr(0, 25), 26);
    out.push_back(kSampleSigned);
    out.push_back(0);  // no default pan: the channel's pan holds
    PutU32(out, static_cast<uint32_t>(sample.pcm.size()));
    PutU32(out, sample.loopBegin);
    PutU32(out, sample.loopEnd);
    PutU32(out, static_cast<uint32_t>(sample.c5Speed));
    PutU32(out, sample.sustainBegin);
    PutU32(out, sample.sustainEnd);
    PutU32(out, dataOffset);
    out.push_back(static_cast<uint8_t>(std::clamp(sample.vibratoSpeed, 0, 64)));
    out.push_back(static_cast<uint8_t>(std::clamp(sample.vibratoDepth, 0, 32)));
    out.push_back(static_cast<uint8_t>(std::clamp(sample.vibratoRate, 0, 255)));
    out.push_back(0);  // sine vibrato
}

// Rows of channel entries, each row ending in a 0 byte; a channel's mask byte is left out when it
// repeats that channel's previous one.
std::vector<uint8_t> PackRows(const ItPattern& pattern)
{
    std::vector<uint8_t> packed;
    std::vector<int> lastMask(static_cast<size_t>(pattern.channels), -1);
    for (int row = 0; row < pattern.rows; ++row) {
        for (int channel = 0; channel < pattern.channels; ++channel) {
            const ItCell& cell = pattern.At(row, channel);
            if (cell.Empty()) continue;
            uint8_t mask = 0;
            if (cell.note != ItCell::kNoNote) mask |= kMaskNote;
            if (cell.sample != 0) mask |= kMaskSample;
            if (cell.volume != ItCell::kNoVolume) mask |= kMaskVolume;
            if (cell.command != 0) mask |= kMaskCommand;
            const bool sameMask = lastMask[static_cast<size_t>(channel)] == mask;
            packed.push_back(static_cast<uint8_t>((channel + 1) | (sameMask ? 0 : kNewMask)));
            if (!sameMask) packed.push_back(mask);
            lastMask[static_cast<size_t>(channel)] = mask;
            if (mask & kMaskNote) packed.push_back(static_cast<uint8_t>(cell.note));
            if (mask & kMaskSample) packed.push_back(static_cast<uint8_t>(cell.sample));
            if (mask & kMaskVolume) packed.push_back(static_cast<uint8_t>(cell.volume));
            if (mask & kMaskCommand) {
                packed.push_back(static_cast<uint8_t>(cell.command));
                packed.push_back(static_cast<uint8_t>(cell.parameter));
            }
        }
        packed.push_back(0);
    }
    return packed;
}

void PutPattern(const ItPattern& pattern, std::vector<uint8_t>& out)
{
    const std::vector<uint8_t> packed = PackRows(pattern);
    PutU16(out, static_cast<uint32_t>(packed.size()));
    PutU16(out, static_cast<uint32_t>(pattern.rows));
    PutU32(out, 0);
    out.insert(out.end(), packed.begin(), packed.end());
}

}  // namespace

bool WriteItModule(const ItModule& module, std::vector<uint8_t>* out, std::string* error)
{
    if (out == nullptr || !Check(module, error)) return false;
    std::vector<uint8_t>& bytes = *out;
    bytes.clear();
    PutHeader(module, bytes);
    bytes.insert(bytes.end(), module.orders.begin(), module.orders.end());
    bytes.push_back(kEndOfSong);

    // Offset tables, filled in once the parts they point at are placed.
    const size_t sampleTable = bytes.size();
    bytes.resize(bytes.size() + 4 * (module.samples.size() + module.patterns.size()), 0);
    const size_t patternTable = sampleTable + 4 * module.samples.size();

    std::vector<size_t> sampleHeaders;
    for (size_t s = 0; s < module.samples.size(); ++s) {
        SetU32(bytes, sampleTable + 4 * s, static_cast<uint32_t>(bytes.size()));
        sampleHeaders.push_back(bytes.size());
        bytes.resize(bytes.size() + kSampleHeaderBytes, 0);
    }
    for (size_t p = 0; p < module.patterns.size(); ++p) {
        SetU32(bytes, patternTable + 4 * p, static_cast<uint32_t>(bytes.size()));
        PutPattern(module.patterns[p], bytes);
    }
    for (size_t s = 0; s < module.samples.size(); ++s) {
        const ItSample& sample = module.samples[s];
        std::vector<uint8_t> header;
        PutSampleHeader(sample, static_cast<uint32_t>(bytes.size()), header);
        std::copy(header.begin(), header.end(), bytes.begin() + static_cast<std::ptrdiff_t>(sampleHeaders[s]));
        for (int16_t value : sample.pcm) PutU16(bytes, static_cast<uint16_t>(value));
    }
    return true;
}
