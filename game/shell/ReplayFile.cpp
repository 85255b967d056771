#include "game/shell/ReplayFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "engine/platform/FrameTimer.h"
#include "engine/unrarlib/Crc32.h"

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'M', 'A', 'R', 'R', 'P'};
constexpr size_t kMaxNameLength = 255;

enum Flag : uint8_t {
    kButton = 1 << 0,
    kUp = 1 << 1,
    kDown = 1 << 2,
    kLeft = 1 << 3,
    kRight = 1 << 4,
    kMotion = 1 << 5,
    kStick = 1 << 6,
    kMessages = 1 << 7,
};

class Writer {
public:
    void Byte(uint8_t value) { bytes.push_back(value); }
    void Unsigned(uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void Float(float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof(bits));
        Unsigned(bits, 4);
    }
    void Zigzag(int32_t value)
    {
        uint32_t rest = (static_cast<uint32_t>(value) << 1) ^ static_cast<uint32_t>(value < 0 ? -1 : 0);
        while (rest >= 0x80) {
            bytes.push_back(static_cast<uint8_t>(rest | 0x80));
            rest >>= 7;
        }
        bytes.push_back(static_cast<uint8_t>(rest));
    }

    std::vector<uint8_t> bytes;
};

// Reads forward through a block; every read past its end fails, and the first failure sticks.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Unsigned(int size, uint64_t* value)
    {
        if (size_ - at_ < static_cast<size_t>(size)) return false;
        *value = 0;
        for (int i = 0; i < size; ++i) *value |= static_cast<uint64_t>(data_[at_++]) << (8 * i);
        return true;
    }
    bool Byte(uint8_t* value)
    {
        uint64_t wide = 0;
        if (!Unsigned(1, &wide)) return false;
        *value = static_cast<uint8_t>(wide);
        return true;
    }
    bool Float(float* value)
    {
        uint64_t wide = 0;
        if (!Unsigned(4, &wide)) return false;
        const uint32_t bits = static_cast<uint32_t>(wide);
        std::memcpy(value, &bits, sizeof(bits));
        return true;
    }
    // At most five bytes, holding at most 32 bits.
    bool Zigzag(int32_t* value)
    {
        uint32_t raw = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t byte = 0;
            if (!Byte(&byte)) return false;
            if (shift == 28 && byte > 0x0F) return false;
            raw |= static_cast<uint32_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                *value = static_cast<int32_t>((raw >> 1) ^ (0u - (raw & 1u)));
                return true;
            }
        }
        return false;
    }
    bool AtEnd() const { return at_ == size_; }
    size_t Offset() const { return at_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

uint8_t FlagsOf(const ReplayFrame& frame)
{
    const FrameInput& in = frame.input;
    uint8_t flags = 0;
    if (in.button) flags |= kButton;
    if (in.up) flags |= kUp;
    if (in.down) flags |= kDown;
    if (in.left) flags |= kLeft;
    if (in.right) flags |= kRight;
    if (in.dx != 0 || in.dy != 0) flags |= kMotion;
    if (in.stickX != 0.0f || in.stickY != 0.0f) flags |= kStick;
    if (frame.messageCount > 0) flags |= kMessages;
    return flags;
}

void EncodeFrame(const ReplayFrame& frame, Writer* out)
{
    const uint8_t flags = FlagsOf(frame);
    out->Float(frame.dt);
    out->Byte(flags);
    if (flags & kMotion) {
        out->Zigzag(frame.input.dx);
        out->Zigzag(frame.input.dy);
    }
    if (flags & kStick) {
        out->Float(frame.input.stickX);
        out->Float(frame.input.stickY);
    }
    if (flags & kMessages) {
        out->Byte(frame.messageCount);
        for (int i = 0; i < frame.messageCount; ++i) out->Byte(static_cast<uint8_t>(frame.messages[i]));
    }
}

bool ValidStick(float value)
{
    return std::isfinite(value) && value >= -1.0f && value <= 1.0f;
}

// One frame; the problem in *problem when the bytes do not make one.
bool DecodeFrame(Reader& in, ReplayFrame* frame, const char** problem)
{
    uint8_t flags = 0;
    if (!in.Float(&frame->dt) || !in.Byte(&flags)) return false;
    if (!std::isfinite(frame->dt) || frame->dt < 0.0f || frame->dt > FrameTimer::kMaxStep) {
        *problem = "a time step outside 0 to 0.1 s";
        return false;
    }
    FrameInput& input = frame->input;
    input.button = (flags & kButton) != 0;
    input.up = (flags & kUp) != 0;
    input.down = (flags & kDown) != 0;
    input.left = (flags & kLeft) != 0;
    input.right = (flags & kRight) != 0;
    if ((flags & kMotion) && !(in.Zigzag(&input.dx) && in.Zigzag(&input.dy))) {
        *problem = "a mouse motion cut short or longer than 32 bits";
        return false;
    }
    if (flags & kStick) {
        if (!in.Float(&input.stickX) || !in.Float(&input.stickY)) return false;
        if (!ValidStick(input.stickX) || !ValidStick(input.stickY)) {
            *problem = "a stick position outside -1 to 1";
            return false;
        }
    }
    if (flags & kMessages) {
        uint8_t count = 0;
        if (!in.Byte(&count)) return false;
        if (count == 0 || count > ReplayFrame::kMaxMessages) {
            *problem = "a message count outside 1 to 4";
            return false;
        }
        for (uint8_t i = 0; i < count; ++i) {
            uint8_t kind = 0;
            if (!in.Byte(&kind)) return false;
            if (kind != static_cast<uint8_t>(ReplayMessage::kEscape) && kind != static_cast<uint8_t>(ReplayMessage::kQuit)) {
                *problem = "an unknown message";
                return false;
            }
            frame->Take(static_cast<ReplayMessage>(kind));
        }
    }
    return true;
}

bool Fail(std::string* error, const std::string& what)
{
    if (error != nullptr) *error = what;
    return false;
}

}  // namespace

std::vector<uint8_t> ReplayFile::Encode(const Replay& replay)
{
    Writer body;
    const size_t nameLength = std::min(replay.script.size(), kMaxNameLength);
    body.bytes.insert(body.bytes.end(), replay.script.begin(), replay.script.begin() + static_cast<std::ptrdiff_t>(nameLength));
    for (const ReplayFrame& frame : replay.frames) EncodeFrame(frame, &body);

    Writer out;
    out.bytes.assign(kMagic, kMagic + sizeof(kMagic));
    out.Unsigned(kVersion, 2);
    out.Unsigned(kHeaderSize, 2);
    out.Unsigned(replay.frames.size(), 4);
    out.Unsigned(body.bytes.size(), 4);
    out.Unsigned(Crc32(body.bytes.data(), body.bytes.size()), 4);
    out.Unsigned(static_cast<uint16_t>(replay.width), 2);
    out.Unsigned(static_cast<uint16_t>(replay.height), 2);
    out.Float(replay.fireCooldown);
    out.Unsigned(static_cast<uint32_t>(replay.drawCounter), 4);
    out.Byte(static_cast<uint8_t>(nameLength));
    out.Unsigned(0, 3);
    out.bytes.insert(out.bytes.end(), body.bytes.begin(), body.bytes.end());
    return out.bytes;
}

bool ReplayFile::Decode(const uint8_t* data, size_t size, Replay* replay, std::string* error)
{
    if (size > 0 && std::memcmp(data, kMagic, std::min(size, sizeof(kMagic))) != 0) return Fail(error, "not a replay");
    if (size < kHeaderSize) return Fail(error, "cut short in its header");
    Reader header(data + sizeof(kMagic), kHeaderSize - sizeof(kMagic));
    uint64_t version = 0, headerSize = 0, frameCount = 0, bodySize = 0, crc = 0, width = 0, height = 0, counter = 0;
    uint8_t nameLength = 0;
    float cooldown = 0.0f;
    header.Unsigned(2, &version);
    header.Unsigned(2, &headerSize);
    header.Unsigned(4, &frameCount);
    header.Unsigned(4, &bodySize);
    header.Unsigned(4, &crc);
    header.Unsigned(2, &width);
    header.Unsigned(2, &height);
    header.Float(&cooldown);
    header.Unsigned(4, &counter);
    header.Byte(&nameLength);
    if (version != kVersion) return Fail(error, "version " + std::to_string(version) + ", this game reads version " + std::to_string(kVersion));
    if (headerSize != kHeaderSize) return Fail(error, "a header of " + std::to_string(headerSize) + " bytes, not " + std::to_string(kHeaderSize));
    if (frameCount > static_cast<uint64_t>(Replay::kMaxFrames) || bodySize > kMaxBodySize)
        return Fail(error, "larger than a replay may be");
    if (size - kHeaderSize < bodySize) return Fail(error, "cut short: " + std::to_string(size - kHeaderSize) + " of " + std::to_string(bodySize) + " bytes");
    if (size - kHeaderSize > bodySize) return Fail(error, "followed by " + std::to_string(size - kHeaderSize - bodySize) + " bytes too many");
    const uint8_t* body = data + kHeaderSize;
    if (Crc32(body, bodySize) != crc) return Fail(error, "damaged: its check does not match");
    if (nameLength > bodySize || !std::isfinite(cooldown)) return Fail(error, "damaged: its header does not add up");

    Replay read;
    read.script.assign(reinterpret_cast<const char*>(body), nameLength);
    read.width = static_cast<int32_t>(width);
    read.height = static_cast<int32_t>(height);
    read.fireCooldown = cooldown;
    read.drawCounter = static_cast<int32_t>(static_cast<uint32_t>(counter));
    Reader frames(body + nameLength, bodySize - nameLength);
    read.frames.reserve(static_cast<size_t>(std::min<uint64_t>(frameCount, bodySize / 5)));
    for (uint64_t i = 0; i < frameCount; ++i) {
        ReplayFrame frame;
        const char* problem = "cut short";
        if (!DecodeFrame(frames, &frame, &problem)) return Fail(error, "frame " + std::to_string(i) + ": " + problem);
        read.frames.push_back(frame);
    }
    if (!frames.AtEnd()) return Fail(error, "damaged: bytes after its last frame");
    *replay = std::move(read);
    return true;
}

bool ReplayFile::Load(const std::string& path, Replay* replay, std::string* error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return Fail(error, "cannot read it");
    if (static_cast<uint64_t>(status.st_size) > kMaxFileSize) return Fail(error, "larger than a replay may be");
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(status.st_size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) return Fail(error, "cannot read it");
    return Decode(bytes.data(), bytes.size(), replay, error);
}

bool ReplayFile::Save(const std::string& path, const Replay& replay, std::string* error)
{
    const std::vector<uint8_t> bytes = Encode(replay);
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return Fail(error, std::strerror(errno));
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return Fail(error, reason);
    }
    return true;
}
